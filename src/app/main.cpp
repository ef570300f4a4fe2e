// egypte: the console program. A thin front end over the core library.
#include <iostream>

#include "dialogue/dialogue.h"

int main()
{
    // The dialogue uses only the C++ streams, so they need not follow stdio.
    std::ios::sync_with_stdio(false);
    try {
        return egypte::programme();
    } catch (const egypte::FinDeLEntree&) {
        // The input ended at a prompt: the run ends there.
        std::cout << '\n' << std::flush;
        return 1;
    }
}

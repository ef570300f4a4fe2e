// egypte: the console program. A thin front end over the core library:
// without arguments the dialogue, with arguments one computation of the
// command line.
#include <csignal>
#include <iostream>

#include "commande/commande.h"
#include "dialogue/dialogue.h"

int main(int argc, char** argv)
{
    // The dialogue uses only the C++ streams, so they need not follow stdio.
    std::ios::sync_with_stdio(false);
    // A file size limit makes a write fail (EFBIG), which the command line
    // reports as every failed write, instead of killing the process.
    if (argc > 1) {
        std::signal(SIGXFSZ, SIG_IGN);
        return egypte::ligneDeCommande(argc, argv);
    }
    try {
        return egypte::programme();
    } catch (const egypte::FinDeLEntree&) {
        // The input ended at a prompt: the run ends there.
        std::cout << '\n' << std::flush;
        return 1;
    }
}

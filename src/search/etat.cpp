#include "search/etat.h"

namespace egypte {

std::atomic<bool> interrompu{false};

}  // namespace egypte

// The stops of the module's searches, and Ctrl-C.
#include "module.h"

namespace egypte_python {

Arrets& Arrets::toutes()
{
    static Arrets* a = new Arrets;
    return *a;
}

void Arrets::inscrire(Arret* a)
{
    const std::lock_guard<std::mutex> v(verrou_);
    arrets_.insert(a);
}

void Arrets::retirer(Arret* a)
{
    const std::lock_guard<std::mutex> v(verrou_);
    arrets_.erase(a);
}

void Arrets::ctrlC()
{
    const std::lock_guard<std::mutex> v(verrou_);
    for (Arret* a : arrets_) {
        a->ctrlC = true;
        a->arret = true;
    }
}

bool signalRecu(Arret& a)
{
    if (PyErr_CheckSignals() == 0) return false;
    if (PyErr_ExceptionMatches(PyExc_KeyboardInterrupt)) Arrets::toutes().ctrlC();
    a.arret = true;
    return true;
}

void ctrlCVenuDAilleurs()
{
    PyErr_SetNone(PyExc_KeyboardInterrupt);
    throw py::error_already_set();
}

}  // namespace egypte_python

// What the sources of the compiled extension `egypte._egypte` share: one
// source a part (entiers, arguments, arrets, generateur, rapports, fonctions,
// module). Private to the extension: the package `egypte` (egypte/__init__.py)
// is what users import.
//
// Integers of any size cross as Python ints (machine words directly, larger
// ones through their hexadecimal digits, which Python reads and writes
// without the limit it sets on decimal text). Every search of the module
// runs without the GIL, on a thread of its own, with a stop of its own
// (Demande::arret), never the process's flag, which one call would clear
// while another search had not looked at it yet. Ctrl-C, which Python notes
// in its main thread only, is looked for while that thread waits in the
// module: it sets the stops of every search the module runs, in whatever
// Python thread, and each of those calls raises KeyboardInterrupt once its
// search has stopped.
#ifndef EGYPTE_PYTHON_MODULE_H
#define EGYPTE_PYTHON_MODULE_H

#include <pybind11/pybind11.h>

#include <NTL/ZZ.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "egypte/egypte.h"
#include "egypte/meilleur.h"

namespace egypte_python {

namespace py = pybind11;

// --- Integers (entiers.cpp) ----------------------------------------------------

// v, an int of any size or sign.
NTL::ZZ versZZ(const py::handle& v);
// v as a Python int.
py::object versPython(const NTL::ZZ& v);
// v in hexadecimal, its sign first when it is negative, and back.
std::string hexadecimal(const NTL::ZZ& v);
py::object depuisHexadecimal(const std::string& t);

// --- Arguments (arguments.cpp) -------------------------------------------------

// Each argument is converted once for every function: its type first
// (TypeError), then its value (ValueError), each refusal naming the argument
// as Python knows it and what it accepts.
[[noreturn]] void refuserType(const py::handle& v, const std::string& nom, const std::string& attendu);
bool drapeau(const py::handle& v, const char* nom);
bool estEntier(const py::handle& v);
// An integer of at least `min`, and at most `max` when there is one.
NTL::ZZ entierDans(const py::handle& v, const char* nom, long min, const NTL::ZZ* max, const std::string& attendu);
// A number of seconds, int or float, in [min, max].
double secondes(const py::handle& v, double min, double max, const std::string& attendu);

// The constraints, as keyword arguments; None stands for the default.
struct Options {
    egypte::Probleme pb;  // every field but the fraction
    bool debut = false;   // a beginning was given
    int fils = 0;
};
Options lireOptions(const py::kwargs& k);
// The problem p/q under the constraints; what the library refuses in it
// with the command line's message (ValueError).
egypte::Probleme probleme(const py::handle& p, const py::handle& q, const Options& o);
// The message of an exception, a library's refusal in the module's words.
std::string message(const std::exception& e);

// --- Stops (arrets.cpp) --------------------------------------------------------

// The stop of one search of the module.
struct Arret {
    std::atomic<bool> arret{false};  // handed to the library: the search stops at its next step
    std::atomic<bool> ctrlC{false};  // set before `arret` by Ctrl-C: the call raises KeyboardInterrupt
};

// The stops of the searches that run, for Ctrl-C. Never destroyed: a closed
// generator's search may still be ending on its thread when the interpreter
// exits.
class Arrets {
public:
    static Arrets& toutes();
    void inscrire(Arret* a);
    void retirer(Arret* a);
    void ctrlC();

private:
    std::mutex verrou_;
    std::set<Arret*> arrets_;
};

// Python's main thread, between two waits: true when a signal handler raised
// (the exception is pending). Ctrl-C stops every search of the module;
// another exception (a handler of the program's own, an alarm) only this one.
bool signalRecu(Arret& a);
[[noreturn]] void ctrlCVenuDAilleurs();

// Runs the search on a thread of its own, the GIL released, with a stop of
// its own that f hands to the library. Python's own handler only notes a
// signal, so the calling thread, when it is Python's main one, looks at it
// between short waits; the call raises once the search has stopped, and
// raises KeyboardInterrupt too when Ctrl-C stopped it from another thread.
template <class R, class F>
R sansGil(F f)
{
    struct Inscrit : Arret {
        Inscrit() { Arrets::toutes().inscrire(this); }
        ~Inscrit() { Arrets::toutes().retirer(this); }
    } arret;
    std::mutex verrou;
    std::condition_variable fin;
    bool fini = false;
    R r{};
    std::string erreur;
    std::thread fil([&] {
        try {
            r = f(&arret.arret);
        } catch (const std::exception& e) {
            erreur = message(e);
        }
        std::lock_guard<std::mutex> v(verrou);
        fini = true;
        fin.notify_all();
    });
    bool signale = false;
    for (;;) {
        {
            py::gil_scoped_release libre;
            std::unique_lock<std::mutex> v(verrou);
            if (fin.wait_for(v, std::chrono::milliseconds(50), [&] { return fini; })) break;
        }
        if (!signale) signale = signalRecu(arret);
    }
    {
        py::gil_scoped_release libre;
        fil.join();
    }
    if (signale) throw py::error_already_set();
    if (arret.ctrlC.load()) ctrlCVenuDAilleurs();
    if (!erreur.empty()) throw py::value_error(erreur);
    return r;
}

// --- The generator (generateur.cpp) --------------------------------------------

// The class _Lots (the batches of one search, as lists of tuples) and
// _lots(p, q, **contraintes), which starts one: the generator
// `developpements` of egypte/__init__.py goes through them.
void declarerLots(py::module_& m);

// --- Reports (rapports.cpp) ----------------------------------------------------

// The reports of compter and meilleur, the command line's --json objects
// with Python's ints (and tuples) for its decimal texts (and lists).
py::dict rapport(const egypte::Probleme& pb, const egypte::Resultat& r);
py::dict rapportMeilleur(const egypte::Probleme& pb, const egypte::ResultatMeilleur& m);

// --- The module's functions (fonctions.cpp) ------------------------------------

py::dict compter(const py::object& p, const py::object& q, const py::kwargs& k);
py::object longueurMinimale(const py::object& p, const py::object& q, const py::kwargs& k);
py::dict meilleur(const py::object& p, const py::object& q, const py::kwargs& k);
py::dict balayer(const py::object& q1, const py::object& q2, const py::object& moinsUn, const py::object& premiers,
                 py::kwargs k);
py::dict estimer(const py::object& p, const py::object& q, const py::object& duree, const py::object& graine,
                 const py::kwargs& k);

}  // namespace egypte_python

#endif

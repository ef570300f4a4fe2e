// The Python module `egypte`, on the library's public API: the expansions as
// a generator of tuples of Python integers, in the walk's order, the count,
// the minimal length and the estimate. Integers of any size cross as Python
// ints (machine words directly, larger ones through their hexadecimal
// digits, which Python reads and writes without the limit it sets on
// decimal text).
//
// A generator runs its search on a thread of its own, which hands batches of
// expansions over a bounded queue: memory stays bounded whatever the count,
// and the search runs without the GIL, while Python turns the previous batch
// into tuples. Every search of the module has a stop of its own
// (Demande::arret), never the process's flag, which one call would clear
// while another search had not looked at it yet. Closing the generator (or
// dropping it) sets its stop: the search ends at its next step, not at its
// next expansion, which a sparse search may take days to reach. Ctrl-C,
// which Python notes in its main thread only, is looked for while that
// thread waits in the module: it sets the stops of every search the module
// runs, in whatever Python thread, and each of those calls raises
// KeyboardInterrupt once its search has stopped.
#include <pybind11/eval.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <NTL/ZZ.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "egypte/balayage.h"
#include "egypte/egypte.h"
#include "egypte/meilleur.h"

namespace py = pybind11;

namespace {

// --- Integers ------------------------------------------------------------------

static_assert(sizeof(long) == sizeof(long long), "a machine word is a long for NTL's conversions");

// v, an int of any size or sign.
NTL::ZZ versZZ(const py::handle& v)
{
    int debord = 0;
    const long long mot = PyLong_AsLongLongAndOverflow(v.ptr(), &debord);
    if (mot == -1 && PyErr_Occurred()) throw py::error_already_set();
    if (debord == 0) return NTL::conv<NTL::ZZ>(static_cast<long>(mot));
    // Beyond a word: its hexadecimal digits ("-0x..." or "0x..."), bytes
    // from the least significant one for NTL.
    const py::object h = py::reinterpret_steal<py::object>(PyNumber_ToBase(v.ptr(), 16));
    if (!h) throw py::error_already_set();
    const std::string t = py::str(h);
    const bool negatif = t[0] == '-';
    const std::size_t premier = negatif ? 3 : 2, chiffres = t.size() - premier;
    std::vector<unsigned char> octets((chiffres + 1) / 2, 0);
    for (std::size_t k = 0; k < chiffres; k++) {
        const char c = t[t.size() - 1 - k];
        const unsigned d = c <= '9' ? static_cast<unsigned>(c - '0') : static_cast<unsigned>(c - 'a' + 10);
        octets[k / 2] = static_cast<unsigned char>(octets[k / 2] | (d << (4 * (k % 2))));
    }
    NTL::ZZ z;
    NTL::ZZFromBytes(z, octets.data(), static_cast<long>(octets.size()));
    if (negatif) NTL::negate(z, z);
    return z;
}

// v in hexadecimal, its sign first when it is negative, for PyLong_FromString.
std::string hexadecimal(const NTL::ZZ& v)
{
    const long n = NTL::NumBytes(v);
    if (n == 0) return "0";
    std::vector<unsigned char> octets(static_cast<std::size_t>(n));
    NTL::BytesFromZZ(octets.data(), v, n);  // |v|, the least significant byte first
    static const char chiffres[] = "0123456789abcdef";
    std::string t = NTL::sign(v) < 0 ? "-" : "";
    for (long k = n - 1; k >= 0; k--) {
        t += chiffres[octets[static_cast<std::size_t>(k)] >> 4];
        t += chiffres[octets[static_cast<std::size_t>(k)] & 15];
    }
    return t;
}

py::object depuisHexadecimal(const std::string& t)
{
    PyObject* r = PyLong_FromString(t.c_str(), nullptr, 16);
    if (r == nullptr) throw py::error_already_set();
    return py::reinterpret_steal<py::object>(r);
}

// v as a Python int: a signed word up to 63 bits, an unsigned one up to 64
// (2^63 to 2^64 - 1 must not come back negative), its digits beyond.
py::object versPython(const NTL::ZZ& v)
{
    const long bits = NTL::NumBits(v);
    if (bits <= 63) return py::reinterpret_steal<py::object>(PyLong_FromLong(NTL::to_long(v)));
    if (bits == 64 && NTL::sign(v) > 0)
        return py::reinterpret_steal<py::object>(PyLong_FromUnsignedLong(NTL::to_ulong(v)));
    return depuisHexadecimal(hexadecimal(v));
}

// --- Arguments -----------------------------------------------------------------

// Each argument is converted here, once for every function: its type first
// (TypeError), then its value (ValueError), each refusal naming the argument
// as Python knows it and what it accepts. A flag is a bool and nothing else,
// an integer an int and not a bool: `repetitions="non"` is not taken for true,
// nor `fils=2.0` for 2.

// The argument as a refusal quotes it: its repr, cut when long.
std::string cite(const py::handle& v)
{
    PyObject* r = PyObject_Repr(v.ptr());
    if (r == nullptr) {  // an int too long for decimal text, say
        PyErr_Clear();
        return std::string("un ") + Py_TYPE(v.ptr())->tp_name;
    }
    std::string t = py::str(py::reinterpret_steal<py::object>(r));
    if (t.size() > 60) t = t.substr(0, 57) + "...";
    return t;
}

[[noreturn]] void refuserType(const py::handle& v, const std::string& nom, const std::string& attendu)
{
    throw py::type_error(nom + " attend " + attendu + ", pas " + cite(v));
}

[[noreturn]] void refuserValeur(const py::handle& v, const std::string& nom, const std::string& attendu)
{
    throw py::value_error(nom + " attend " + attendu + ", pas " + cite(v));
}

bool drapeau(const py::handle& v, const char* nom)
{
    if (!PyBool_Check(v.ptr())) refuserType(v, nom, "True ou False");
    return v.ptr() == Py_True;
}

bool estEntier(const py::handle& v) { return PyLong_Check(v.ptr()) && !PyBool_Check(v.ptr()); }

NTL::ZZ entier(const py::handle& v, const char* nom)
{
    if (!estEntier(v)) refuserType(v, nom, "un entier");
    return versZZ(v);
}

// An integer of at least `min`, and at most `max` when there is one.
// The module's words for what the library's messages name: its arguments.
const char* motPython(egypte::Terme t)
{
    switch (t) {
    case egypte::Terme::inconnues: return "repetitions";
    case egypte::Terme::parite: return "parite";
    case egypte::Terme::minimumX1: return "min_x1";
    case egypte::Terme::maximumXn: return "max_xn";
    case egypte::Terme::longueurMin: return "min_n";
    case egypte::Terme::longueurMax: return "max_n";
    case egypte::Terme::longueur: return "longueur";
    case egypte::Terme::sansUn: return "sans_un";
    case egypte::Terme::fils: return "fils";
    case egypte::Terme::estimation: return "estimer";
    }
    return "?";
}

// The message of an exception, a library's refusal in the module's words.
std::string message(const std::exception& e)
{
    if (const auto* r = dynamic_cast<const egypte::Erreur*>(&e)) return r->texte(motPython);
    return e.what();
}

NTL::ZZ entierDans(const py::handle& v, const char* nom, long min, const NTL::ZZ* max, const std::string& attendu)
{
    if (!estEntier(v)) refuserType(v, nom, attendu);
    const NTL::ZZ z = versZZ(v);
    if (z < min || (max != nullptr && z > *max)) refuserValeur(v, nom, attendu);
    return z;
}

// A bound of the problem: 0 (or None) for none, as on the command line.
NTL::ZZ borne(const py::handle& v, const char* nom)
{
    return entierDans(v, nom, 0, nullptr, "un entier positif ou nul");
}

int fils(const py::handle& v)
{
    const NTL::ZZ max(1024);
    return static_cast<int>(NTL::to_long(entierDans(v, "fils", 1, &max, "un entier de 1 a 1024")));
}

egypte::Parite parite(const py::handle& v)
{
    const char* attendu = "paire, impaire ou indifferente";
    if (!PyUnicode_Check(v.ptr())) refuserType(v, "parite", attendu);
    egypte::Parite p;
    if (!egypte::lireParite(py::str(v), p)) refuserValeur(v, "parite", attendu);
    return p;
}

std::vector<NTL::ZZ> debut(const py::handle& v)
{
    const char* attendu = "des entiers positifs";
    PyObject* i = PyObject_GetIter(v.ptr());
    if (i == nullptr || PyUnicode_Check(v.ptr())) {
        Py_XDECREF(i);
        PyErr_Clear();
        refuserType(v, "debut", "une suite d'entiers positifs");
    }
    const py::iterator it = py::reinterpret_steal<py::iterator>(i);
    std::vector<NTL::ZZ> x;
    for (const py::handle e : it) x.push_back(entierDans(e, "debut", 1, nullptr, attendu));
    return x;
}

// A number of seconds, int or float, in [min, max] (NaN is in no range).
double secondes(const py::handle& v, double min, double max, const std::string& attendu)
{
    if (!PyFloat_Check(v.ptr()) && !estEntier(v)) refuserType(v, "secondes", attendu);
    const double s = PyFloat_AsDouble(v.ptr());
    if (s == -1.0 && PyErr_Occurred()) {  // an int beyond every double
        PyErr_Clear();
        refuserValeur(v, "secondes", attendu);
    }
    if (!(s >= min && s <= max)) refuserValeur(v, "secondes", attendu);
    return s;
}

// The constraints, as keyword arguments; None stands for the default.
struct Options {
    egypte::Probleme pb;  // every field but the fraction
    bool debut = false;   // a beginning was given
    int fils = 0;
};

Options lireOptions(const py::kwargs& k)
{
    Options o;
    for (const auto& [cle, v] : k) {
        const std::string nom = py::str(cle);
        if (v.is_none()) {
            if (nom == "repetitions" || nom == "sans_un") refuserType(v, nom, "True ou False");
            if (nom == "longueur" || nom == "parite" || nom == "min_x1" || nom == "max_xn" || nom == "min_n" ||
                nom == "max_n" || nom == "debut" || nom == "fils")
                continue;
        }
        if (nom == "longueur") o.pb.longueur = egypte::longueurLue(entierDans(v, "longueur", 1, nullptr, "un entier au moins egal a 1"));
        else if (nom == "repetitions") o.pb.inconnues = drapeau(v, "repetitions") ? egypte::Inconnues::repetees : egypte::Inconnues::distinctes;
        else if (nom == "parite") o.pb.parite = parite(v);
        else if (nom == "min_x1") o.pb.minimumX1 = borne(v, "min_x1");
        else if (nom == "max_xn") o.pb.maximumXn = borne(v, "max_xn");
        else if (nom == "min_n") o.pb.longueurMin = egypte::longueurLue(borne(v, "min_n"));
        else if (nom == "max_n") o.pb.longueurMax = egypte::longueurLue(borne(v, "max_n"));
        else if (nom == "sans_un") o.pb.sansUn = drapeau(v, "sans_un");
        else if (nom == "debut") {
            o.pb.debut = debut(v);
            o.debut = true;
        } else if (nom == "fils") o.fils = fils(v);
        else throw py::type_error("argument inconnu : " + nom);
    }
    return o;
}

// The problem p/q under the constraints; what the library refuses in it
// (a fraction that is not positive, bounds out of order...) with the
// command line's message.
egypte::Probleme probleme(const py::handle& p, const py::handle& q, const Options& o)
{
    egypte::Probleme pb = o.pb;
    pb.numerateur = entier(p, "p");
    pb.denominateur = entier(q, "q");
    try {
        egypte::verifier(pb);
    } catch (const egypte::Erreur& e) {
        throw py::value_error(message(e));
    }
    return pb;
}

// --- Stops ---------------------------------------------------------------------

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
    static Arrets& toutes()
    {
        static Arrets* a = new Arrets;
        return *a;
    }
    void inscrire(Arret* a)
    {
        const std::lock_guard<std::mutex> v(verrou_);
        arrets_.insert(a);
    }
    void retirer(Arret* a)
    {
        const std::lock_guard<std::mutex> v(verrou_);
        arrets_.erase(a);
    }
    void ctrlC()
    {
        const std::lock_guard<std::mutex> v(verrou_);
        for (Arret* a : arrets_) {
            a->ctrlC = true;
            a->arret = true;
        }
    }

private:
    std::mutex verrou_;
    std::set<Arret*> arrets_;
};

// Python's main thread, between two waits: true when a signal handler raised
// (the exception is pending). Ctrl-C stops every search of the module;
// another exception (a handler of the program's own, an alarm) only this one.
bool signalRecu(Arret& a)
{
    if (PyErr_CheckSignals() == 0) return false;
    if (PyErr_ExceptionMatches(PyExc_KeyboardInterrupt)) Arrets::toutes().ctrlC();
    a.arret = true;
    return true;
}

[[noreturn]] void ctrlCVenuDAilleurs()
{
    PyErr_SetNone(PyExc_KeyboardInterrupt);
    throw py::error_already_set();
}

// --- The generator -------------------------------------------------------------

// A batch of expansions as they cross: machine words when every value of an
// expansion fits, its hexadecimal text otherwise.
struct Lot {
    int n = 0;
    std::vector<unsigned long long> mots;  // n values per expansion that fits
    std::vector<std::string> grands;       // n texts per expansion that does not
    std::vector<char> grand;               // per expansion: which of the two
    std::size_t taille() const { return grand.size(); }
};

// What the search thread and the generator share; kept alive by both.
struct File {
    std::mutex verrou;
    std::condition_variable change;
    std::deque<Lot> lots;
    bool fin = false;                 // the search is over
    std::string erreur;               // it failed (an Erreur)
    std::atomic<bool> fermee{false};  // the generator is closed: the search stops
    Arret arret;                      // the search's own; inscribed while the search runs
    static constexpr std::size_t LOTS_MAX = 16, TAILLE_LOT = 4096;
};

class Remise : public egypte::Recepteur {
public:
    explicit Remise(std::shared_ptr<File> f) : f_(std::move(f)) {}
    Suite recevoir(const egypte::Developpement& x, std::int64_t) override
    {
        lot_.n = x.taille();
        bool mots = true;
        for (int a = 0; a < x.taille() && mots; a++) mots = NumBits(x[a]) <= 64;
        lot_.grand.push_back(mots ? 0 : 1);
        for (int a = 0; a < x.taille(); a++) {
            if (mots) {
                lot_.mots.push_back(NTL::to_ulong(x[a]));
            } else {
                lot_.grands.push_back(hexadecimal(x[a]));
            }
        }
        if (lot_.taille() >= File::TAILLE_LOT) envoyer();
        Suite s;
        s.arreter = f_->fermee.load();
        return s;
    }
    void envoyer()
    {
        if (lot_.taille() == 0) return;
        std::unique_lock<std::mutex> v(f_->verrou);
        f_->change.wait(v, [&] { return f_->lots.size() < File::LOTS_MAX || f_->fermee.load(); });
        if (!f_->fermee.load()) f_->lots.push_back(std::move(lot_));
        lot_ = Lot{};
        f_->change.notify_all();
    }

private:
    std::shared_ptr<File> f_;
    Lot lot_;
};

// The batches of one search, as lists of tuples; the generator of
// `developpements` (defined in Python below) goes through them.
class Lots {
public:
    Lots(const egypte::Probleme& p, egypte::Demande d) : f_(std::make_shared<File>())
    {
        std::shared_ptr<File> f = f_;
        d.arret = &f->arret.arret;
        Arrets::toutes().inscrire(&f->arret);
        try {
            fil_ = std::thread([f, p, d] {
                {
                    Remise r(f);
                    try {
                        egypte::chercher(p, d, &r);
                        r.envoyer();
                    } catch (const std::exception& e) {
                        std::lock_guard<std::mutex> v(f->verrou);
                        f->erreur = message(e);
                    }
                }
                Arrets::toutes().retirer(&f->arret);
                std::lock_guard<std::mutex> v(f->verrou);
                f->fin = true;
                f->change.notify_all();
            });
        } catch (...) {
            Arrets::toutes().retirer(&f->arret);
            throw;
        }
    }
    ~Lots() { fermer(); }

    py::list suivant()
    {
        if (f_->fermee.load()) throw py::stop_iteration();
        for (;;) {
            Lot lot;
            bool fin = false;
            {
                py::gil_scoped_release libre;
                std::unique_lock<std::mutex> v(f_->verrou);
                f_->change.wait_for(v, std::chrono::milliseconds(50), [&] { return !f_->lots.empty() || f_->fin; });
                if (!f_->lots.empty()) {
                    lot = std::move(f_->lots.front());
                    f_->lots.pop_front();
                    f_->change.notify_all();
                }
                fin = f_->fin && f_->lots.empty();
            }
            // Ctrl-C seen by the main thread while this one iterates: the
            // search stopped (its end is no end), nothing more is handed over.
            if (f_->arret.ctrlC.load()) {
                fermer();
                ctrlCVenuDAilleurs();
            }
            if (lot.taille() > 0) return liste(lot);
            if (fin) {
                std::string e;
                {
                    std::lock_guard<std::mutex> v(f_->verrou);
                    e = f_->erreur;
                }
                if (!e.empty()) throw py::value_error(e);
                throw py::stop_iteration();
            }
            if (signalRecu(f_->arret)) {
                fermer();
                throw py::error_already_set();
            }
        }
    }

    void fermer()
    {
        f_->arret.arret = true;
        f_->fermee = true;
        if (!fil_.joinable()) return;
        {
            std::lock_guard<std::mutex> v(f_->verrou);
            f_->change.notify_all();
        }
        // The search stops at its next step; until then it goes on alone,
        // with what it shares kept alive.
        fil_.detach();
    }

private:
    std::shared_ptr<File> f_;
    std::thread fil_;

    static py::list liste(const Lot& lot)
    {
        py::list l(lot.taille());
        std::size_t m = 0, g = 0;
        for (std::size_t j = 0; j < lot.taille(); j++) {
            py::tuple t(lot.n);
            for (int a = 0; a < lot.n; a++) {
                PyObject* x = lot.grand[j] ? depuisHexadecimal(lot.grands[g++]).release().ptr()
                                           : PyLong_FromUnsignedLongLong(lot.mots[m++]);
                if (x == nullptr) throw py::error_already_set();
                PyTuple_SET_ITEM(t.ptr(), a, x);
            }
            PyList_SET_ITEM(l.ptr(), static_cast<Py_ssize_t>(j), t.release().ptr());
        }
        return l;
    }
};

// --- The functions -------------------------------------------------------------


py::dict rapport(const egypte::Probleme& pb, const egypte::Resultat& r)
{
    py::dict d;
    auto texte = [](const NTL::ZZ& v) {
        std::ostringstream o;
        o << v;
        return o.str();
    };
    d["fraction"] = texte(pb.numerateur) + "/" + texte(pb.denominateur);
    d["fraction_reduite"] = texte(r.P) + "/" + texte(r.Q);
    py::dict c;
    auto b = [](const NTL::ZZ& v) { return IsZero(v) ? py::object(py::none()) : versPython(v); };
    c["inconnues"] = pb.inconnues == egypte::Inconnues::distinctes ? "differentes" : "repetitions";
    c["parite"] = egypte::nomParite(pb.parite);
    c["min_x1"] = b(pb.minimumX1);
    c["max_xn"] = b(pb.maximumXn);
    auto l = [](long v) { return v == 0 ? py::object(py::none()) : py::object(py::int_(v)); };
    c["min_n"] = l(pb.longueurMin);
    c["max_n"] = l(pb.longueurMax);
    c["longueur"] = l(pb.longueur);
    c["sans_un"] = r.sansUn;
    d["contraintes"] = c;
    const bool trouve = r.solutions > 0;
    d["longueur_minimale"] = trouve ? py::object(py::int_(r.longueur)) : py::object(py::none());
    d["solutions"] = r.solutions;
    d["plus_grand_xn"] = trouve ? versPython(r.plusGrandXn) : py::object(py::none());
    d["plus_petit_x1"] = trouve ? versPython(r.plusPetitX1) : py::object(py::none());
    d["plus_petit_xn"] = trouve ? versPython(r.plusPetitXn) : py::object(py::none());
    d["complet"] = r.complet();
    const char* raisons[] = {nullptr, "interrompu", "premieres", "limite_longueur", "erreur_ecriture"};
    const char* raison = raisons[static_cast<int>(r.fin)];
    d["raison"] = raison != nullptr ? py::object(py::str(raison)) : py::object(py::none());
    return d;
}

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

egypte::Resultat chercherSansGil(const egypte::Probleme& pb, egypte::Demande d)
{
    return sansGil<egypte::Resultat>([&](std::atomic<bool>* arret) {
        d.arret = arret;
        return egypte::chercher(pb, d);
    });
}


// --- The module's functions ----------------------------------------------------

std::unique_ptr<Lots> lots(const py::object& p, const py::object& q, const py::kwargs& k)
{
    const Options o = lireOptions(k);
    const egypte::Probleme pb = probleme(p, q, o);
    egypte::Demande d;
    d.fils = o.fils;
    return std::make_unique<Lots>(pb, d);
}

py::dict compter(const py::object& p, const py::object& q, const py::kwargs& k)
{
    const Options o = lireOptions(k);
    const egypte::Probleme pb = probleme(p, q, o);
    egypte::Demande d;
    d.montrer = egypte::Montrer::compter;
    d.fils = o.fils;
    return rapport(pb, chercherSansGil(pb, d));
}

py::object longueurMinimale(const py::object& p, const py::object& q, const py::kwargs& k)
{
    const Options o = lireOptions(k);
    const egypte::Probleme pb = probleme(p, q, o);
    egypte::Demande d;
    d.montrer = egypte::Montrer::premieres;
    d.K = 1;
    d.fils = o.fils;
    const egypte::Resultat r = chercherSansGil(pb, d);
    if (r.solutions > 0) return py::int_(r.longueur);
    if (r.fin == egypte::Fin::limite) throw py::value_error("aucune solution jusqu'a n = 100000, la limite de la recherche");
    return py::none();
}

py::list entiers(const std::vector<NTL::ZZ>& x)
{
    py::list l;
    for (const NTL::ZZ& v : x) l.append(versPython(v));
    return l;
}

py::dict rapportMeilleur(const egypte::Probleme& pb, const egypte::ResultatMeilleur& m)
{
    egypte::Resultat r;
    r.fin = m.fin;
    r.P = m.P;
    r.Q = m.Q;
    r.sansUn = pb.sansUn && m.P >= m.Q;
    py::dict d = rapport(pb, r);
    for (const char* cle : {"solutions", "plus_petit_x1", "plus_petit_xn"}) PyDict_DelItemString(d.ptr(), cle);
    const bool trouve = !m.x.empty();
    d["longueur_minimale"] = trouve ? py::object(py::int_(m.longueur)) : py::object(py::none());
    d["plus_grand_xn"] = trouve ? versPython(m.x.back()) : py::object(py::none());
    d["meilleur"] = trouve ? py::object(py::tuple(entiers(m.x))) : py::object(py::none());
    d["prouve"] = m.prouve;
    return d;
}

py::dict meilleur(const py::object& p, const py::object& q, const py::kwargs& k)
{
    const Options o = lireOptions(k);
    const egypte::Probleme pb = probleme(p, q, o);
    egypte::Demande d;
    d.fils = o.fils;
    const egypte::ResultatMeilleur m = sansGil<egypte::ResultatMeilleur>([&](std::atomic<bool>* arret) {
        d.arret = arret;
        return egypte::meilleur(pb, d);
    });
    return rapportMeilleur(pb, m);
}

// What a scan computes, from the keyword arguments that are not
// constraints (taken out of k): compter, meilleur, au_plus, numerateur.
void lireMode(py::kwargs& k, egypte::DemandeBalayage& d)
{
    const char* modes[] = {"compter", "meilleur", "au_plus"};
    int n = 0;
    for (const char* nom : modes) {
        if (!k.contains(nom)) continue;
        const py::object v = k[nom];
        PyDict_DelItemString(k.ptr(), nom);
        if (std::string(nom) == "au_plus") {
            if (v.is_none()) continue;
            const NTL::ZZ max(egypte::LONGUEUR_MAX);
            d.auPlus = NTL::to_long(entierDans(v, "au_plus", 1, &max, "un entier de 1 a 100000"));
            d.mode = egypte::ModeBalayage::auPlus;
        } else {
            if (!drapeau(v, nom)) continue;
            d.mode = std::string(nom) == "compter" ? egypte::ModeBalayage::compter : egypte::ModeBalayage::meilleur;
        }
        if (++n > 1) throw py::value_error("compter, meilleur et au_plus s'excluent");
    }
    if (k.contains("numerateur")) {
        const py::object v = k["numerateur"];
        PyDict_DelItemString(k.ptr(), "numerateur");
        if (!v.is_none()) d.numerateur = entierDans(v, "numerateur", 1, nullptr, "un entier au moins egal a 1");
    }
}

// One fraction of a scan in a mode with a result per fraction, as a dict.
py::dict fractionBalayee(const egypte::Probleme& contraintes, const egypte::DemandeBalayage& d, std::int64_t q,
                         const egypte::FractionBalayee& f)
{
    egypte::Probleme pb = contraintes;
    pb.numerateur = f.p;
    pb.denominateur = q;
    if (d.mode == egypte::ModeBalayage::auPlus) {
        py::dict x;
        x["p"] = versPython(f.p);
        x["q"] = q;
        x["longueur"] = f.resultat.longueur > 0 ? py::object(py::int_(f.resultat.longueur)) : py::object(py::none());
        return x;
    }
    if (d.mode == egypte::ModeBalayage::compter) return rapport(pb, f.resultat);
    egypte::ResultatMeilleur m;
    m.fin = f.resultat.fin;
    m.longueur = f.resultat.longueur;
    m.P = f.resultat.P;
    m.Q = f.resultat.Q;
    m.x = f.meilleur;
    m.prouve = f.prouve;
    return rapportMeilleur(pb, m);
}

py::dict balayer(const py::object& q1, const py::object& q2, const py::object& moinsUn, const py::object& premiers,
                 py::kwargs k)
{
    egypte::DemandeBalayage d;
    lireMode(k, d);
    const bool famille = !IsZero(d.numerateur);
    const NTL::ZZ max = NTL::power2_ZZ(62) - 1;
    const char* attendu = famille ? "un entier de 1 a 2^62 - 1" : "un entier de 2 a 2^62 - 1";
    d.q1 = NTL::to_long(entierDans(q1, "q1", famille ? 1 : 2, &max, attendu));
    d.q2 = NTL::to_long(entierDans(q2, "q2", famille ? 1 : 2, &max, attendu));
    d.moinsUn = drapeau(moinsUn, "moins_un");
    d.premiers = drapeau(premiers, "premiers");
    if (famille && d.moinsUn) throw py::value_error("numerateur exclut moins_un");
    const Options o = lireOptions(k);
    if (o.debut) throw py::value_error("balayer exclut debut");
    const egypte::Probleme pb = probleme(py::int_(1), py::int_(2), o);
    d.fils = o.fils;
    struct Releve : egypte::RecepteurBalayage {
        std::vector<egypte::LigneBalayage> lignes;
        bool recevoir(const egypte::LigneBalayage& l, const std::vector<egypte::RecordBalayage>&, std::string&) override
        {
            lignes.push_back(l);
            return true;
        }
    } releve;
    const egypte::ResultatBalayage r = sansGil<egypte::ResultatBalayage>([&](std::atomic<bool>* arret) {
        d.arret = arret;
        return egypte::balayer(pb, d, releve);
    });
    py::dict res;
    res["complet"] = r.complet();
    if (d.mode != egypte::ModeBalayage::longueurs) {
        py::list fractions;
        for (const egypte::LigneBalayage& l : releve.lignes)
            for (const egypte::FractionBalayee& f : l.fractions) fractions.append(fractionBalayee(pb, d, l.q, f));
        res["fractions"] = fractions;
        return res;
    }
    py::list lignes, records;
    for (const egypte::LigneBalayage& l : releve.lignes) {
        py::dict x;
        x["q"] = l.q;
        x["longueurs"] = py::cast(l.comptes);
        x["premiers"] = py::cast(l.premiers);
        x["sans"] = l.sans;
        lignes.append(x);
    }
    for (const egypte::RecordBalayage& rec : r.records) {
        py::dict x;
        x["n"] = rec.n;
        x["p"] = rec.p;
        x["q"] = rec.q;
        records.append(x);
    }
    res["lignes"] = lignes;
    res["records"] = records;
    return res;
}

py::dict estimer(const py::object& p, const py::object& q, const py::object& duree, const py::object& graine,
                 const py::kwargs& k)
{
    egypte::DemandeEstimation d;
    // As --duree on the command line.
    d.secondes = secondes(duree, 1, 86400, "un nombre de 1 a 86400");
    const NTL::ZZ max = NTL::power2_ZZ(64) - 1;
    d.graine = NTL::conv<unsigned long>(entierDans(graine, "graine", 0, &max, "un entier de 0 a 2^64 - 1"));
    const Options o = lireOptions(k);
    const egypte::Probleme pb = probleme(p, q, o);
    d.fils = o.fils;
    const egypte::Estimation e = sansGil<egypte::Estimation>([&](std::atomic<bool>* arret) {
        d.arret = arret;
        return egypte::estimer(pb, d);
    });
    py::dict r;
    r["solutions"] = e.developpements;
    r["solutions_erreur"] = e.ecartDeveloppements;
    r["erreur_relative"] = e.relatif();
    r["noeuds"] = e.noeuds;
    r["secondes_un_coeur"] = e.secondes;
    r["sondages"] = e.sondes;
    r["profondeur"] = e.profondeur;
    r["strates"] = e.strates;
    r["graine"] = py::reinterpret_steal<py::object>(PyLong_FromUnsignedLongLong(e.graine));
    return r;
}

// --- Their documentation --------------------------------------------------------

#define CONTRAINTES_DOC                                                                                               \
    "Arguments : p, q, entiers positifs de taille quelconque ; contraintes (mots-cles) : longueur (cette longueur "   \
    "seulement), repetitions (True : des inconnues\n"                                                                 \
    "    peuvent etre egales), parite ('paire', 'impaire' ou 'indifferente'), min_x1, max_xn, min_n, max_n,\n"        \
    "    sans_un (True : 1 exclu pour x1), debut (les premiers denominateurs imposes), fils (1 a 1024).\n\n"

const char* const DOC_COMPTER =
    "compter(p, q, **contraintes)\n\nCompte les developpements de longueur minimale : le rapport en dict, "
    "les memes champs que le JSON de la ligne de commande (solutions, longueur_minimale, plus_grand_xn, "
    "plus_petit_x1, plus_petit_xn, complet...).\n\n" CONTRAINTES_DOC
    "Exemple :\n>>> compter(1, 1, longueur=7)['solutions']\n245765";

const char* const DOC_LONGUEUR =
    "longueur_minimale(p, q, **contraintes)\n\nLa longueur minimale d'un developpement de p/q sous ces "
    "contraintes, ou None s'il n'y en a aucun (ValueError : aucune jusqu'a n = 100000).\n\n" CONTRAINTES_DOC
    "Exemple :\n>>> longueur_minimale(732, 733)\n7";

const char* const DOC_MEILLEUR =
    "meilleur(p, q, **contraintes)\n\nLe meilleur developpement de p/q : de longueur minimale (ou de la "
    "longueur donnee), dont le plus grand denominateur est le plus petit, puis le suivant, etc. Le rapport en "
    "dict : meilleur (le tuple, None s'il n'y en a aucun), prouve (la recherche est allee au bout), "
    "longueur_minimale, plus_grand_xn, complet...\n\n" CONTRAINTES_DOC
    "Exemple :\n>>> meilleur(4, 5)['meilleur']\n(2, 5, 10)";

const char* const DOC_BALAYER =
    "balayer(q1, q2, moins_un=False, premiers=False, **contraintes)\n\nPour chaque q de q1 a q2 : "
    "combien de p/q (p < q, premier avec q) demandent 1, 2, 3... termes (longueurs[i - 1]), le plus petit "
    "de ces p (premiers[i - 1]) et ceux sans developpement (sans) ; records : la premiere fraction qui "
    "demande n termes ; complet : le balayage est alle au bout.\n\n"
    "Avec numerateur=M : la famille M/q, une fraction par q (q1 >= 1). Avec compter=True, meilleur=True ou "
    "au_plus=K : un dict par fraction dans fractions (le rapport de compter, celui de meilleur, ou "
    "{p, q, longueur} des seules fractions qui demandent plus de K termes).\n\n"
    "Arguments : q1 <= q2, de 2 a 2^62 - 1 ; moins_un (True : (q - 1)/q seulement) ; premiers (True : "
    "q premiers seulement) ; les contraintes de compter (sauf debut), pour chaque fraction.\n\n"
    "Exemples :\n>>> balayer(5, 5)['lignes']\n[{'q': 5, 'longueurs': [1, 2, 1], 'premiers': [1, 2, 4], 'sans': 0}]\n"
    ">>> [f['solutions'] for f in balayer(1, 5, numerateur=4, longueur=3, compter=True)['fractions']]\n"
    "[0, 0, 1, 1, 2]";

const char* const DOC_ESTIMER =
    "estimer(p, q, secondes=5, graine=0, *, longueur, **contraintes)\n\nEstime par sondages au hasard "
    "(methode de Knuth) le nombre de developpements de la longueur donnee, sans les compter : secondes "
    "de 1 a 86400, graine de 0 (tiree au hasard, rendue dans le resultat) a 2^64 - 1 ; longueur, au "
    "moins 4, est obligatoire ; les autres contraintes comme pour compter.\n\n"
    "Exemple (environ 1.5e8 pour 1 en 8, a quelques pour cent pres) :\n"
    ">>> e = estimer(1, 1, secondes=2, longueur=8)  # doctest: +SKIP\n"
    ">>> e['solutions'], e['solutions_erreur']  # doctest: +SKIP";

}  // namespace

PYBIND11_MODULE(egypte, m)
{
    m.doc() = "Developpements egyptiens de longueur minimale de P/Q : 1/x1 + ... + 1/xn = P/Q, "
              "x1 <= ... <= xn, sous contraintes, en entiers de taille quelconque.";
    m.attr("__version__") = egypte::version();

    py::class_<Lots>(m, "_Lots", "Les developpements d'une recherche, par lots.")
        .def("__iter__", [](Lots& l) -> Lots& { return l; })
        .def("__next__", &Lots::suivant)
        .def("close", &Lots::fermer, "Arrete la recherche.");
    m.def("_lots", &lots, py::arg("p"), py::arg("q"));

    // A generator of Python's own over the batches: it streams, and closing
    // it (or dropping it, or Ctrl-C) stops its search at its next step.
    py::exec(R"(
def developpements(p, q, **contraintes):
    """developpements(p, q, *, longueur=None, repetitions=False, parite=None, min_x1=None,
    max_xn=None, min_n=None, max_n=None, sans_un=False, debut=None, fils=None)

    Les developpements de p/q de longueur minimale (ou de la longueur donnee), chacun un
    tuple (x1, ..., xn) d'entiers, dans l'ordre du parcours (lexicographique decroissant).
    Un generateur : la memoire reste bornee quel que soit le compte, et close() arrete la
    recherche. Ctrl-C l'arrete aussi (KeyboardInterrupt).

    Arguments : p, q, entiers positifs de taille quelconque ; contraintes (mots-cles) : longueur (cette longueur seulement), repetitions (True : des inconnues
    peuvent etre egales), parite ("paire", "impaire" ou "indifferente"), min_x1, max_xn, min_n, max_n,
    sans_un (True : 1 exclu pour x1), debut (les premiers denominateurs imposes), fils (1 a 1024).

    Exemple :
    >>> list(developpements(4, 5))
    [(2, 5, 10), (2, 4, 20)]"""
    return _suite(_lots(p, q, **contraintes))

def _suite(lots):
    try:
        for lot in lots:
            yield from lot
    finally:
        lots.close()
)", m.attr("__dict__"));

    m.def("compter", &compter, DOC_COMPTER, py::arg("p"), py::arg("q"));
    m.def("longueur_minimale", &longueurMinimale, DOC_LONGUEUR, py::arg("p"), py::arg("q"));
    m.def("meilleur", &meilleur, DOC_MEILLEUR, py::arg("p"), py::arg("q"));
    m.def("balayer", &balayer, DOC_BALAYER, py::arg("q1"), py::arg("q2"), py::arg("moins_un") = false,
          py::arg("premiers") = false);
    m.def("estimer", &estimer, DOC_ESTIMER, py::arg("p"), py::arg("q"), py::arg("secondes") = 5,
          py::arg("graine") = 0);
}

// The Python module `egypte`, on the library's public API: the expansions as
// a generator of tuples of Python integers, in the walk's order, the count,
// the minimal length and the estimate. Integers of any size cross as Python
// ints (machine words directly, larger ones through their decimal text).
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

namespace py = pybind11;

namespace {

// --- Integers ------------------------------------------------------------------

NTL::ZZ versZZ(const py::handle& v, const char* nom)
{
    if (!PyLong_Check(v.ptr()) || PyBool_Check(v.ptr()))
        throw py::value_error(std::string(nom) + " attend un entier, pas " + std::string(py::str(py::repr(v))));
    return NTL::conv<NTL::ZZ>(std::string(py::str(v)).c_str());
}

py::object versPython(const NTL::ZZ& v)
{
    if (NumBits(v) <= 63) return py::reinterpret_steal<py::object>(PyLong_FromLongLong(NTL::to_long(v)));
    std::ostringstream o;
    o << v;
    return py::reinterpret_steal<py::object>(PyLong_FromString(o.str().c_str(), nullptr, 10));
}

// 0 when absent.
NTL::ZZ borne(const py::object& v, const char* nom)
{
    if (v.is_none()) return NTL::ZZ(0);
    const NTL::ZZ z = versZZ(v, nom);
    if (z < 0) throw py::value_error(std::string("--") + nom + " attend un entier positif ou nul");
    return z;
}

struct Options {
    py::object longueur = py::none(), parite = py::none(), min_x1 = py::none(), max_xn = py::none(),
               min_n = py::none(), max_n = py::none(), debut = py::none(), fils = py::none();
    bool repetitions = false, sans_un = false;
};

egypte::Probleme probleme(const py::object& p, const py::object& q, const Options& o)
{
    egypte::Probleme pb;
    pb.P1 = versZZ(p, "p");
    pb.Q1 = versZZ(q, "q");
    pb.type = o.repetitions ? 1 : 2;
    pb.sansUn = o.sans_un;
    if (!o.parite.is_none()) {
        const std::string s = py::str(o.parite);
        if (s == "paire") pb.parite = 2;
        else if (s == "impaire") pb.parite = 1;
        else if (s == "indifferente") pb.parite = 0;
        else throw py::value_error("--parite attend paire, impaire ou indifferente, pas '" + s + "'");
    }
    pb.minx = borne(o.min_x1, "min-x1");
    pb.M = borne(o.max_xn, "max-xn");
    pb.minn = borne(o.min_n, "min-n");
    pb.maxn = borne(o.max_n, "max-n");
    pb.longueur = borne(o.longueur, "longueur");
    if (!o.longueur.is_none() && IsZero(pb.longueur))
        throw py::value_error("--longueur attend un entier au moins egal a 1, pas '0'");
    if (!o.debut.is_none())
        for (const py::handle x : o.debut) pb.debut.push_back(versZZ(py::reinterpret_borrow<py::object>(x), "debut"));
    try {
        egypte::verifier(pb);
    } catch (const egypte::Erreur& e) {
        throw py::value_error(e.what());
    }
    return pb;
}

int fils(const Options& o)
{
    if (o.fils.is_none()) return 0;
    const NTL::ZZ f = versZZ(o.fils, "fils");
    if (f < 1 || f > 1024) throw py::value_error("--fils attend un entier de 1 a 1024");
    return static_cast<int>(NTL::to_long(f));
}

Options lireOptions(const py::kwargs& k)
{
    Options o;
    for (const auto& [cle, valeur] : k) {
        const std::string nom = py::str(cle);
        const py::object v = py::reinterpret_borrow<py::object>(valeur);
        if (nom == "longueur") o.longueur = v;
        else if (nom == "repetitions") o.repetitions = v.cast<bool>();
        else if (nom == "parite") o.parite = v;
        else if (nom == "min_x1") o.min_x1 = v;
        else if (nom == "max_xn") o.max_xn = v;
        else if (nom == "min_n") o.min_n = v;
        else if (nom == "max_n") o.max_n = v;
        else if (nom == "sans_un") o.sans_un = v.cast<bool>();
        else if (nom == "debut") o.debut = v;
        else if (nom == "fils") o.fils = v;
        else throw py::type_error("argument inconnu : " + nom);
    }
    return o;
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
// expansion fits, its decimal text otherwise.
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
                std::ostringstream o;
                o << x[a];
                lot_.grands.push_back(o.str());
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
                        f->erreur = e.what();
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
            PyObject* t = PyTuple_New(lot.n);
            for (int a = 0; a < lot.n; a++)
                PyTuple_SET_ITEM(t, a, lot.grand[j] ? PyLong_FromString(lot.grands[g++].c_str(), nullptr, 10)
                                                    : PyLong_FromUnsignedLongLong(lot.mots[m++]));
            PyList_SET_ITEM(l.ptr(), static_cast<Py_ssize_t>(j), t);
        }
        return l;
    }
};

// --- The functions -------------------------------------------------------------

const char* nomParite(int p) { return p == 2 ? "paire" : (p == 1 ? "impaire" : "indifferente"); }

py::dict rapport(const egypte::Probleme& pb, const egypte::Resultat& r)
{
    py::dict d;
    auto texte = [](const NTL::ZZ& v) {
        std::ostringstream o;
        o << v;
        return o.str();
    };
    d["fraction"] = texte(pb.P1) + "/" + texte(pb.Q1);
    d["fraction_reduite"] = texte(r.P) + "/" + texte(r.Q);
    py::dict c;
    auto b = [](const NTL::ZZ& v) { return IsZero(v) ? py::object(py::none()) : versPython(v); };
    c["inconnues"] = pb.type == 2 ? "differentes" : "repetitions";
    c["parite"] = nomParite(pb.parite);
    c["min_x1"] = b(pb.minx);
    c["max_xn"] = b(pb.M);
    c["min_n"] = b(pb.minn);
    c["max_n"] = b(pb.maxn);
    c["longueur"] = b(pb.longueur);
    c["sans_un"] = r.sansUn;
    d["contraintes"] = c;
    const bool trouve = r.solutions > 0;
    d["longueur_minimale"] = trouve ? py::object(py::int_(r.longueur)) : py::object(py::none());
    d["solutions"] = r.solutions;
    d["plus_grand_xn"] = trouve ? versPython(r.plusGrandXn) : py::object(py::none());
    d["plus_petit_x1"] = trouve ? versPython(r.plusPetitX1) : py::object(py::none());
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
            erreur = e.what();
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

}  // namespace

PYBIND11_MODULE(egypte, m)
{
    m.doc() = "Developpements egyptiens de longueur minimale de P/Q : 1/x1 + ... + 1/xn = P/Q, "
              "x1 <= ... <= xn, sous contraintes, en entiers de taille quelconque.";

    py::class_<Lots>(m, "_Lots", "Les developpements d'une recherche, par lots.")
        .def("__iter__", [](Lots& l) -> Lots& { return l; })
        .def("__next__", &Lots::suivant)
        .def("close", &Lots::fermer, "Arrete la recherche.");

    m.def(
        "_lots",
        [](const py::object& p, const py::object& q, const py::kwargs& k) {
            const Options o = lireOptions(k);
            const egypte::Probleme pb = probleme(p, q, o);
            egypte::Demande d;
            d.fils = fils(o);
            return std::make_unique<Lots>(pb, d);
        },
        py::arg("p"), py::arg("q"));

    // A generator of Python's own over the batches: it streams, and closing
    // it (or dropping it, or Ctrl-C) stops its search at its next step.
    py::exec(R"(
def developpements(p, q, **contraintes):
    """developpements(p, q, *, longueur=None, repetitions=False, parite=None, min_x1=None,
    max_xn=None, min_n=None, max_n=None, sans_un=False, debut=None, fils=None)

    Les developpements de p/q de longueur minimale (ou de la longueur donnee), chacun un
    tuple (x1, ..., xn) d'entiers, dans l'ordre du parcours (lexicographique decroissant).
    Un generateur : la memoire reste bornee quel que soit le compte, et close() arrete la
    recherche. parite : "paire", "impaire" ou "indifferente"."""
    return _suite(_lots(p, q, **contraintes))

def _suite(lots):
    try:
        for lot in lots:
            yield from lot
    finally:
        lots.close()
)", m.attr("__dict__"));

    m.def(
        "compter",
        [](const py::object& p, const py::object& q, const py::kwargs& k) {
            const Options o = lireOptions(k);
            const egypte::Probleme pb = probleme(p, q, o);
            egypte::Demande d;
            d.montrer = egypte::Montrer::compter;
            d.fils = fils(o);
            return rapport(pb, chercherSansGil(pb, d));
        },
        "compter(p, q, **contraintes)\n\nCompte les developpements de longueur minimale : le rapport en dict, "
        "les memes champs que le JSON de la ligne de commande.",
        py::arg("p"), py::arg("q"));

    m.def(
        "longueur_minimale",
        [](const py::object& p, const py::object& q, const py::kwargs& k) -> py::object {
            const Options o = lireOptions(k);
            const egypte::Probleme pb = probleme(p, q, o);
            egypte::Demande d;
            d.montrer = egypte::Montrer::premieres;
            d.K = 1;
            d.fils = fils(o);
            const egypte::Resultat r = chercherSansGil(pb, d);
            if (r.solutions > 0) return py::int_(r.longueur);
            if (r.fin == egypte::Fin::limite) throw py::value_error("aucune solution jusqu'a n = 100000, la limite de la recherche");
            return py::none();
        },
        "longueur_minimale(p, q, **contraintes)\n\nLa longueur minimale d'un developpement de p/q sous ces "
        "contraintes, ou None s'il n'y en a aucun.",
        py::arg("p"), py::arg("q"));

    m.def(
        "balayer",
        [](std::int64_t q1, std::int64_t q2, bool moinsUn, bool premiers, const py::kwargs& k) {
            const Options o = lireOptions(k);
            if (!o.debut.is_none()) throw py::value_error("balayer exclut debut");
            const egypte::Probleme pb = probleme(py::int_(1), py::int_(2), o);
            egypte::DemandeBalayage d;
            d.q1 = q1;
            d.q2 = q2;
            d.moinsUn = moinsUn;
            d.premiers = premiers;
            d.fils = fils(o);
            struct Releve : egypte::RecepteurBalayage {
                std::vector<egypte::LigneBalayage> lignes;
                bool recevoir(const egypte::LigneBalayage& l, const std::vector<egypte::RecordBalayage>&,
                              std::string&) override
                {
                    lignes.push_back(l);
                    return true;
                }
            } releve;
            const egypte::ResultatBalayage r =
                sansGil<egypte::ResultatBalayage>([&](std::atomic<bool>* arret) {
                    d.arret = arret;
                    return egypte::balayer(pb, d, releve);
                });
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
            py::dict res;
            res["lignes"] = lignes;
            res["records"] = records;
            res["complet"] = r.complet();
            return res;
        },
        "balayer(q1, q2, moins_un=False, premiers=False, **contraintes)\n\nPour chaque q de q1 a q2 : "
        "combien de p/q (p < q, premier avec q) demandent 1, 2, 3... termes (longueurs[i - 1]), le plus petit "
        "de ces p (premiers[i - 1]) et ceux sans developpement (sans) ; records : la premiere fraction qui "
        "demande n termes.",
        py::arg("q1"), py::arg("q2"), py::arg("moins_un") = false, py::arg("premiers") = false);

    m.def(
        "estimer",
        [](const py::object& p, const py::object& q, double secondes, std::uint64_t graine, const py::kwargs& k) {
            const Options o = lireOptions(k);
            const egypte::Probleme pb = probleme(p, q, o);
            egypte::DemandeEstimation d;
            d.secondes = secondes;
            d.graine = graine;
            d.fils = fils(o);
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
            return r;
        },
        "estimer(p, q, secondes=5, graine=0, *, longueur, **contraintes)\n\nEstime par sondages au hasard "
        "(methode de Knuth) le nombre de developpements de la longueur donnee, sans les compter.",
        py::arg("p"), py::arg("q"), py::arg("secondes") = 5.0, py::arg("graine") = 0);
}

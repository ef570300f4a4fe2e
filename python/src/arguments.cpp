// The arguments of the module's functions. A flag is a bool and nothing
// else, an integer an int and not a bool: `repetitions="non"` is not taken
// for true, nor `fils=2.0` for 2. The constraints are one table, ARGUMENTS:
// what reads them and what names the library's fields in its messages both
// go through it, so that an argument cannot be read under one name and
// refused under another.
#include <optional>

#include "module.h"

namespace egypte_python {

namespace {

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

[[noreturn]] void refuserValeur(const py::handle& v, const std::string& nom, const std::string& attendu)
{
    throw py::value_error(nom + " attend " + attendu + ", pas " + cite(v));
}

NTL::ZZ entier(const py::handle& v, const char* nom)
{
    if (!estEntier(v)) refuserType(v, nom, "un entier");
    return versZZ(v);
}

// A bound of the problem: 0 (or None) for none, as on the command line.
NTL::ZZ borne(const py::handle& v, const char* nom)
{
    return entierDans(v, nom, 0, nullptr, "un entier positif ou nul");
}

long longueur(const py::handle& v, const char* nom)
{
    return egypte::longueurLue(entierDans(v, nom, 1, nullptr, "un entier au moins egal a 1"));
}

int fils(const py::handle& v, const char* nom)
{
    const NTL::ZZ max(1024);
    return static_cast<int>(NTL::to_long(entierDans(v, nom, 1, &max, "un entier de 1 a 1024")));
}

egypte::Parite parite(const py::handle& v, const char* nom)
{
    const char* attendu = "paire, impaire ou indifferente";
    if (!PyUnicode_Check(v.ptr())) refuserType(v, nom, attendu);
    egypte::Parite p;
    if (!egypte::lireParite(py::str(v), p)) refuserValeur(v, nom, attendu);
    return p;
}

std::vector<NTL::ZZ> debut(const py::handle& v, const char* nom)
{
    PyObject* i = PyObject_GetIter(v.ptr());
    if (i == nullptr || PyUnicode_Check(v.ptr())) {
        Py_XDECREF(i);
        PyErr_Clear();
        refuserType(v, nom, "une suite d'entiers positifs");
    }
    const py::iterator it = py::reinterpret_steal<py::iterator>(i);
    std::vector<NTL::ZZ> x;
    for (const py::handle e : it) x.push_back(entierDans(e, nom, 1, nullptr, "des entiers positifs"));
    return x;
}

// One keyword argument of the constraints.
struct Argument {
    const char* nom;                    // as Python calls it
    std::optional<egypte::Terme> terme;  // the library's field it sets, as its messages name it
    bool noneParDefaut;                 // None stands for the default (a flag refuses it)
    void (*lire)(const py::handle& v, const char* nom, Options& o);
};

const Argument ARGUMENTS[] = {
    {"longueur", egypte::Terme::longueur, true,
     [](const py::handle& v, const char* nom, Options& o) { o.pb.longueur = longueur(v, nom); }},
    {"repetitions", egypte::Terme::inconnues, false,
     [](const py::handle& v, const char* nom, Options& o) {
         o.pb.inconnues = drapeau(v, nom) ? egypte::Inconnues::repetees : egypte::Inconnues::distinctes;
     }},
    {"parite", egypte::Terme::parite, true,
     [](const py::handle& v, const char* nom, Options& o) { o.pb.parite = parite(v, nom); }},
    {"min_x1", egypte::Terme::minimumX1, true,
     [](const py::handle& v, const char* nom, Options& o) { o.pb.minimumX1 = borne(v, nom); }},
    {"max_xn", egypte::Terme::maximumXn, true,
     [](const py::handle& v, const char* nom, Options& o) { o.pb.maximumXn = borne(v, nom); }},
    {"min_n", egypte::Terme::longueurMin, true,
     [](const py::handle& v, const char* nom, Options& o) { o.pb.longueurMin = egypte::longueurLue(borne(v, nom)); }},
    {"max_n", egypte::Terme::longueurMax, true,
     [](const py::handle& v, const char* nom, Options& o) { o.pb.longueurMax = egypte::longueurLue(borne(v, nom)); }},
    {"sans_un", egypte::Terme::sansUn, false,
     [](const py::handle& v, const char* nom, Options& o) { o.pb.sansUn = drapeau(v, nom); }},
    {"debut", std::nullopt, true,
     [](const py::handle& v, const char* nom, Options& o) {
         o.pb.debut = debut(v, nom);
         o.debut = true;
     }},
    {"fils", egypte::Terme::fils, true,
     [](const py::handle& v, const char* nom, Options& o) { o.fils = fils(v, nom); }},
};

// The module's word for what a library's message names: the argument that
// sets that field, or the function that computes it.
const char* motPython(egypte::Terme t)
{
    for (const Argument& a : ARGUMENTS)
        if (a.terme == t) return a.nom;
    if (t == egypte::Terme::estimation) return "estimer";
    return egypte::motDuTerme(t);
}

}  // namespace

[[noreturn]] void refuserType(const py::handle& v, const std::string& nom, const std::string& attendu)
{
    throw py::type_error(nom + " attend " + attendu + ", pas " + cite(v));
}

bool drapeau(const py::handle& v, const char* nom)
{
    if (!PyBool_Check(v.ptr())) refuserType(v, nom, "True ou False");
    return v.ptr() == Py_True;
}

bool estEntier(const py::handle& v) { return PyLong_Check(v.ptr()) && !PyBool_Check(v.ptr()); }

NTL::ZZ entierDans(const py::handle& v, const char* nom, long min, const NTL::ZZ* max, const std::string& attendu)
{
    if (!estEntier(v)) refuserType(v, nom, attendu);
    const NTL::ZZ z = versZZ(v);
    if (z < min || (max != nullptr && z > *max)) refuserValeur(v, nom, attendu);
    return z;
}

// NaN is in no range.
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

std::string message(const std::exception& e)
{
    if (const auto* r = dynamic_cast<const egypte::Erreur*>(&e)) return r->texte(motPython);
    return e.what();
}

Options lireOptions(const py::kwargs& k)
{
    Options o;
    for (const auto& [cle, v] : k) {
        const std::string nom = py::str(cle);
        const Argument* a = nullptr;
        for (const Argument& x : ARGUMENTS)
            if (nom == x.nom) a = &x;
        if (a == nullptr) throw py::type_error("argument inconnu : " + nom);
        if (v.is_none() && a->noneParDefaut) continue;
        a->lire(v, a->nom, o);
    }
    return o;
}

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

}  // namespace egypte_python

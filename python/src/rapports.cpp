// The reports of compter and meilleur (and of a scan's fractions): the
// command line's --json objects, key for key, built the way it builds them
// (the problem, the fields of the search, its end), with Python's ints where
// the JSON writes decimal text so that no reader rounds it, and tuples where
// it writes lists or "x1,x2,...".
#include <sstream>

#include "module.h"

namespace egypte_python {

namespace {

std::string texte(const NTL::ZZ& v)
{
    std::ostringstream o;
    o << v;
    return o.str();
}

py::tuple tuple(const std::vector<NTL::ZZ>& x)
{
    py::tuple t(x.size());
    for (std::size_t i = 0; i < x.size(); i++) t[i] = versPython(x[i]);
    return t;
}

// The fields every report begins with: the fraction and the constraints.
py::dict enonce(const egypte::Probleme& p, const NTL::ZZ& P, const NTL::ZZ& Q, bool sansUn)
{
    auto borne = [](const NTL::ZZ& v) { return IsZero(v) ? py::object(py::none()) : versPython(v); };
    auto longueur = [](long v) { return v == 0 ? py::object(py::none()) : py::object(py::int_(v)); };
    py::dict c;
    c["inconnues"] = p.inconnues == egypte::Inconnues::distinctes ? "differentes" : "repetitions";
    c["parite"] = egypte::nomParite(p.parite);
    c["min_x1"] = borne(p.minimumX1);
    c["max_xn"] = borne(p.maximumXn);
    c["min_n"] = longueur(p.longueurMin);
    c["max_n"] = longueur(p.longueurMax);
    c["longueur"] = longueur(p.longueur);
    c["sans_un"] = sansUn;
    if (!p.debut.empty()) c["debut"] = tuple(p.debut);
    py::dict d;
    d["fraction"] = texte(p.numerateur) + "/" + texte(p.denominateur);
    d["fraction_reduite"] = texte(P) + "/" + texte(Q);
    d["contraintes"] = c;
    return d;
}

// The fields every report ends with: how the search ended.
void issue(py::dict& d, egypte::Fin f)
{
    d["complet"] = f == egypte::Fin::complete;
    const char* raison = nullptr;
    switch (f) {
    case egypte::Fin::interrompue: raison = "interrompu"; break;
    case egypte::Fin::arretee: raison = "premieres"; break;
    case egypte::Fin::limite: raison = "limite_longueur"; break;
    case egypte::Fin::ecriture: raison = "erreur_ecriture"; break;
    case egypte::Fin::complete: break;
    }
    d["raison"] = raison != nullptr ? py::object(py::str(raison)) : py::object(py::none());
}

// The value when an expansion was found, None otherwise.
py::object si(bool trouve, long v) { return trouve ? py::object(py::int_(v)) : py::object(py::none()); }
py::object si(bool trouve, const NTL::ZZ& v) { return trouve ? versPython(v) : py::object(py::none()); }

}  // namespace

py::dict rapport(const egypte::Probleme& pb, const egypte::Resultat& r)
{
    py::dict d = enonce(pb, r.P, r.Q, r.sansUn);
    const bool trouve = r.solutions > 0;
    d["longueur_minimale"] = si(trouve, r.longueur);
    d["solutions"] = r.solutions;
    d["plus_grand_xn"] = si(trouve, r.plusGrandXn);
    d["plus_petit_x1"] = si(trouve, r.plusPetitX1);
    d["plus_petit_xn"] = si(trouve, r.plusPetitXn);
    issue(d, r.fin);
    return d;
}

py::dict rapportMeilleur(const egypte::Probleme& pb, const egypte::ResultatMeilleur& m)
{
    py::dict d = enonce(pb, m.P, m.Q, pb.sansUn && m.P >= m.Q);
    const bool trouve = !m.x.empty();
    // In the order the module has always given them.
    d["longueur_minimale"] = si(trouve, m.longueur);
    d["plus_grand_xn"] = trouve ? versPython(m.x.back()) : py::object(py::none());
    issue(d, m.fin);
    d["meilleur"] = trouve ? py::object(tuple(m.x)) : py::object(py::none());
    d["prouve"] = m.prouve;
    return d;
}

}  // namespace egypte_python

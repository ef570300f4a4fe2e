// The module's functions but the generator: compter, longueur_minimale,
// meilleur, balayer and estimer, each a search run without the GIL.
#include <pybind11/stl.h>

#include "egypte/balayage.h"
#include "module.h"

namespace egypte_python {

namespace {

egypte::Resultat chercherSansGil(const egypte::Probleme& pb, egypte::Demande d)
{
    return sansGil<egypte::Resultat>([&](std::atomic<bool>* arret) {
        d.arret = arret;
        return egypte::chercher(pb, d);
    });
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
        // As the command line's JSON: a fraction stopped at the length limit
        // is not known to have none.
        const bool limite = f.resultat.fin == egypte::Fin::limite;
        x["complet"] = !limite;
        x["raison"] = limite ? py::object(py::str("limite_longueur")) : py::object(py::none());
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

}  // namespace

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
    // A line of lengths tallies every numerator of q: a family has one.
    if (famille && d.mode == egypte::ModeBalayage::longueurs)
        throw py::value_error("numerateur va avec compter, meilleur ou au_plus (un resultat par fraction M/q)");
    const Options o = lireOptions(k);
    if (o.debut) throw py::value_error("balayer exclut debut");
    const egypte::Probleme pb = probleme(py::int_(1), py::int_(2), o);
    d.fils = o.fils;
    struct Releve : egypte::RecepteurBalayage {
        std::vector<egypte::LigneBalayage> lignes;
        egypte::Ecriture recevoir(const egypte::LigneBalayage& l, const std::vector<egypte::RecordBalayage>&) override
        {
            lignes.push_back(l);
            return {};
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
        x["limite"] = l.limite;
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

}  // namespace egypte_python

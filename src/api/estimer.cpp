// The library's estimate: the problem set up as for its count, the length
// probed (search/estimation.cpp).
#include "api/debut.h"
#include "search/avancement.h"
#include "search/estimation.h"
#include "search/parallele.h"

namespace egypte {

Estimation estimer(const Probleme& p, const DemandeEstimation& d)
{
    const PourRecherche pour(d.arret);
    Probleme entier = p;
    if (d.longueur != 0) entier.longueur = d.longueur;
    verifier(entier);
    // With a beginning, the estimate is that of the rest.
    Probleme pb = reste(entier);
    if (IsZero(entier.longueur))
        throw Erreur(Erreur::Genre::probleme, "--estimer demande --longueur N (la longueur dont estimer le compte)");
    if (entier.longueur < 4)
        throw Erreur(Erreur::Genre::probleme,
                     "--estimer demande une longueur d'au moins 4 (une longueur plus courte se compte directement)");
    Recherche s;
    s.fils = d.fils;
    Estimation e;
    e.fils = nombreDeFils(d.fils);
    Recherche::Fin fin;
    // A problem that poser refuses has no length to try: nothing to count.
    if (s.poser(pb, fin)) {
        ReglagesEstimation r;
        r.secondes = d.secondes;
        r.sondes = d.sondes;
        r.graine = d.graine;
        // poser kept the length within the largest one searched.
        e = estimer(s, static_cast<int>(to_long(pb.longueur)), r);
    }
    e.P = s.P;
    e.Q = s.Q;
    e.sansUn = s.pas1 == 1;
    if (!p.debut.empty()) {
        Resultat r;
        completer(entier, r);
        e.P = r.P;
        e.Q = r.Q;
        e.sansUn = r.sansUn;
        if (e.n > 0) e.n += static_cast<int>(p.debut.size());
    }
    return e;
}

}  // namespace egypte

// The library's estimate: the problem set up as for its count, the length
// probed (estimation/estimation.cpp).
#include <chrono>

#include "interface/debut.h"
#include "commun/avancement.h"
#include "estimation/estimation.h"
#include "commun/fils.h"

namespace egypte {

namespace {

Estimation compterLeReste(const Probleme& entier, const DemandeEstimation& d, Horloge::time_point debut)
{
    Demande compte;
    compte.montrer = Montrer::compter;
    compte.fils = d.fils;
    compte.arret = d.arret;
    const Resultat r = chercher(entier, compte);
    Estimation e;
    e.fils = nombreDeFils(d.fils);
    e.n = static_cast<int>(reste(entier).longueur);
    if (r.fin == Fin::interrompue) {
        e.genre = Estimation::Genre::interrompue;
        e.arretCtrlC = true;
    } else {
        e.genre = Estimation::Genre::courte;
        e.developpements = static_cast<double>(r.solutions);
    }
    e.duree = std::chrono::duration<double>(Horloge::now() - debut).count();
    return e;
}

}  // namespace

Estimation estimer(const Probleme& p, const DemandeEstimation& d)
{
    const Horloge::time_point debut = Horloge::now();
    const PourRecherche pour(d.arret);
    Probleme entier = p;
    if (d.longueur != 0) entier.longueur = d.longueur;
    verifier(entier);
    // With a beginning, the estimate is that of the rest.
    Probleme pb = reste(entier);
    if (entier.longueur == 0)
        throw Erreur(Erreur::Genre::probleme, {Terme::estimation, " demande ", Terme::longueur, " N (la longueur dont estimer le compte)"});
    if (entier.longueur < 4)
        throw Erreur(Erreur::Genre::probleme,
                     {Terme::estimation, " demande une longueur d'au moins 4 (une longueur plus courte se compte directement)"});
    Recherche s;
    s.cadre.fils = d.fils;
    Estimation e;
    e.fils = nombreDeFils(d.fils);
    Recherche::Issue fin;
    if (pb.longueur < 4) {
        // A beginning leaves fewer than four unknowns: too few levels to
        // probe, and their count comes at once.
        e = compterLeReste(entier, d, debut);
    } else if (s.poser(pb, fin)) {
        // A problem that poser refuses has no length to try: nothing to count.
        ReglagesEstimation r;
        r.secondes = d.secondes;
        r.sondes = d.sondes;
        r.graine = d.graine;
        // poser kept the length within the largest one searched.
        e = estimer(s, static_cast<int>(pb.longueur), r);
    }
    e.P = s.cadre.P;
    e.Q = s.cadre.Q;
    e.sansUn = s.cadre.pas1 == 1;
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

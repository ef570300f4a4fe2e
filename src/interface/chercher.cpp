// The library's search: the problem checked and set up, the journal opened
// and checked with the receiver before anything is written, the walk of the
// lengths with what it hands over chosen once (Livraison), and the result.
#include "interface/chercher.h"

#include <memory>
#include <optional>
#include <sstream>
#include <thread>

#include "interface/debut.h"
#include "interface/livraison.h"
#include "commun/progres.h"
#include "commun/avancement.h"
#include "marche/recherche.h"
#include "commun/journal.h"

namespace egypte {

namespace {

void verifierDemande(const Demande& d)
{
    if ((d.montrer == Montrer::premieres || d.montrer == Montrer::uneSur) && d.K < 1)
        throw Erreur(Erreur::Genre::probleme, "K doit etre au moins egal a 1");
    if (d.fils < 0 || d.fils > 1024) throw Erreur(Erreur::Genre::probleme, {Terme::fils, " attend un entier de 1 a 1024"});
}

Fin finDe(Recherche::Issue f)
{
    switch (f) {
    case Recherche::Issue::interrompu:
        return Fin::interrompue;
    case Recherche::Issue::arrete:
        return Fin::arretee;
    case Recherche::Issue::tropLong:
        return Fin::limite;
    case Recherche::Issue::trouve:
    case Recherche::Issue::aucune:
        break;
    }
    return Fin::complete;
}

}  // namespace

std::string enteteJournal(const Probleme& p, const Demande& d, const Ecrivain* e)
{
    std::ostringstream o;
    // The version of the journal's records (3: a unit's carry the smallest
    // xn too), and of the cutting into units: a journal written under another
    // one numbers other units. Where the listing goes: a journal of a listing
    // on standard output knows no file to resume into.
    o << "egypte-journal 3 decoupage 1 " << p.numerateur << '/' << p.denominateur << " type " << static_cast<int>(p.inconnues) << " parite " << static_cast<int>(p.parite)
      << " min-x1 " << p.minimumX1 << " max-xn " << p.maximumXn << " min-n " << p.longueurMin << " max-n " << p.longueurMax << " longueur "
      << p.longueur << " sans-un " << p.sansUn << " montrer " << static_cast<int>(d.montrer) << ' ' << d.K
      << " liste " << (e != nullptr ? e->genre() : "aucune");
    // Only when there is one, so that the journals of the searches without
    // keep their heading.
    if (!p.debut.empty()) o << " debut " << texteDebut(p.debut);
    return o.str();
}

Resultat chercher(const Probleme& p, const Demande& d, Recepteur* r, const Moteur& m)
{
    const PourRecherche pour(d.arret);
    // With a beginning, the search is that of the rest, each expansion handed
    // over whole.
    const Probleme pr = reste(p);
    verifierDemande(d);
    Ecrivain* const ecrivain = dynamic_cast<Ecrivain*>(r);
    std::optional<RecepteurDebut> avecDebut;
    if (r != nullptr && !p.debut.empty()) r = &avecDebut.emplace(p.debut, *r);
    std::unique_ptr<Journal> journal;
    if (!d.journal.empty()) {
        journal = std::make_unique<Journal>();
        journal->ouvrir(d.journal, enteteJournal(p, d, ecrivain));
    }
    // The receiver checks what it resumes before the journal is touched.
    Position reprise;
    const bool reprend = journal && !journal->nouveau();
    if (reprend) {
        reprise.octets = journal->derniere().octets;
        reprise.fin = journal->derniere().fin;
    }
    if (ecrivain != nullptr) ecrivain->commencer(reprend ? &reprise : nullptr);
    if (journal) {
        if (const Ecriture e = journal->preparer(); !e.reussie()) throw Erreur(Erreur::Genre::fichier, e.ligne());
    }

    Recherche s;
    static_cast<Conduite&>(s.cadre) = m;
    if (d.fils != 0) s.cadre.fils = d.fils;
    if (d.marcheDeReference) {
        s.cadre.simple = 1;
        s.cadre.fils = 1;
    }
    Livraison livraison(d, r, journal.get(), ecrivain);
    s.sortie = &livraison;
    Recherche::Issue fin;
    const bool pose = s.poser(pr, fin);
    if (pose) {
        if (m.reseau) s.reseau = m.reseau(s);
        std::optional<progres::Suivi> suivi;
        if (d.ligneDEtat) suivi.emplace([&s](std::ostream& o) { s.decrire(o); });
        fin = s.chercher();
    }

    Resultat res;
    res.pose = pose;
    res.fin = finDe(fin);
    if (!livraison.erreur().empty()) {
        res.fin = Fin::ecriture;
        res.erreur = livraison.erreur();
    }
    res.P = s.cadre.P;
    res.Q = s.cadre.Q;
    res.sansUn = s.cadre.pas1 == 1;
    res.solutions = s.bilan.nombre;
    res.seule = s.seule == 1;
    if (s.bilan.nombre > 0) {
        res.longueur = s.marche.n;
        res.plusGrandXn = s.bilan.plusGrandXn;
        res.plusPetitX1 = s.bilan.plusPetitX1;
        res.plusPetitXn = s.bilan.plusPetitXn;
    }
    res.derniere = livraison.derniere();
    completer(p, res);
    return res;
}

Resultat chercher(const Probleme& p, const Demande& d, Recepteur* r) { return chercher(p, d, r, Moteur{}); }

const char* version() { return EGYPTE_VERSION; }

void interrompre() { interrompu.store(true, std::memory_order_relaxed); }
void effacerInterruption() { interrompu.store(false, std::memory_order_relaxed); }
bool interruption() { return interrompu.load(std::memory_order_relaxed); }

}  // namespace egypte

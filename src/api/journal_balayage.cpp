#include "api/journal_balayage.h"

#include <sstream>

#include "api/ligne_balayage.h"

namespace egypte {

std::string JournalBalayage::entete(const Probleme& p, const DemandeBalayage& d)
{
    std::ostringstream o;
    o << "egypte-journal 2 balayage 1 " << d.q1 << ".." << d.q2 << " moins-un " << d.moinsUn << " premiers "
      << d.premiers << " type " << p.type << " parite " << p.parite << " min-x1 " << p.minx << " max-xn " << p.M
      << " min-n " << p.minn << " max-n " << p.maxn << " longueur " << p.longueur << " sans-un " << p.sansUn;
    return o.str();
}

bool JournalBalayage::lire(const std::string& ligne)
{
    if (ligne.rfind("B ", 0) != 0) return false;
    LigneBalayage l;
    // In increasing q, each once.
    if (!lireLigne(ligne.substr(2), l) || l.q <= derniere_) return false;
    derniere_ = l.q;
    for (const RecordBalayage& r : nouveauxRecords(l, vues_)) records_.push_back(r);
    return true;
}

bool JournalBalayage::noter(const LigneBalayage& l, std::string& erreur)
{
    if (!ecrire("B " + texteLigne(l), erreur)) return false;
    derniere_ = l.q;
    return true;
}

}  // namespace egypte

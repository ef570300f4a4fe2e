#include "balayage/journal_balayage.h"

#include <sstream>

#include "balayage/ligne_balayage.h"

namespace egypte {

std::string JournalBalayage::entete(const Probleme& p, const DemandeBalayage& d, const Ecrivain* e)
{
    std::ostringstream o;
    o << "egypte-journal 2 balayage 2 " << d.q1 << ".." << d.q2 << " moins-un " << d.moinsUn << " premiers "
      << d.premiers << " type " << static_cast<int>(p.inconnues) << " parite " << static_cast<int>(p.parite) << " min-x1 " << p.minimumX1 << " max-xn " << p.maximumXn
      << " min-n " << p.longueurMin << " max-n " << p.longueurMax << " longueur " << p.longueur << " sans-un " << p.sansUn << " liste " << (e != nullptr ? e->genre() : "aucune");
    // Only when they are not the defaults, so that the journals of the plain
    // scan keep their heading.
    if (!IsZero(d.numerateur)) o << " numerateur " << d.numerateur;
    if (d.mode != ModeBalayage::longueurs) o << " mode " << static_cast<int>(d.mode) << ' ' << d.auPlus;
    return o.str();
}

bool JournalBalayage::lire(const std::string& ligne)
{
    if (ligne.rfind("B ", 0) != 0) return false;
    // The line, then where the output stood after it.
    const std::size_t h = ligne.rfind(' '), o = h == std::string::npos || h < 2 ? h : ligne.rfind(' ', h - 1);
    if (o == std::string::npos || o < 2) return false;
    Position p;
    p.fin = ligne.substr(h + 1);
    std::istringstream octets(ligne.substr(o + 1, h - o - 1));
    LigneBalayage l;
    // In increasing q, each once; the output only grows.
    if (!(octets >> p.octets) || !octets.eof() || p.octets < position_.octets || p.fin.empty() ||
        !lireLigne(ligne.substr(2, o - 2), l) || l.q <= derniere_)
        return false;
    derniere_ = l.q;
    position_ = p;
    ajouter(totaux_, l);
    for (const RecordBalayage& r : nouveauxRecords(l, vues_)) records_.push_back(r);
    return true;
}

Ecriture JournalBalayage::noter(const LigneBalayage& l, const Position& p)
{
    Ecriture e = ecrire("B " + texteLigne(l) + " " + std::to_string(p.octets) + " " + p.fin);
    if (!e.reussie()) return e;
    derniere_ = l.q;
    position_ = p;
    ajouter(totaux_, l);
    return e;
}

}  // namespace egypte

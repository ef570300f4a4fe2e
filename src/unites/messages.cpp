// The messages between the process that displays and the ones that walk
// units for it: plain text, big integers in decimal, so that nothing depends
// on the machines' word sizes or byte orders.
#include "unites/messages.h"

namespace egypte {

namespace {

void ecrireNoeud(std::ostream& o, const Noeud& v)
{
    o << ' ' << v.i;
    for (int a = 0; a <= v.i; a++) o << ' ' << v.x[a] << ' ' << v.minr[a];
    o << ' ' << v.N << ' ' << v.D;
}

void lireNoeud(std::istream& in, Noeud& v)
{
    in >> v.i;
    if (!in || v.i < 0 || v.i > 100000) {
        in.setstate(std::ios::failbit);
        return;
    }
    v.x.resize(static_cast<std::size_t>(v.i) + 1);
    v.minr.resize(static_cast<std::size_t>(v.i) + 1);
    for (int a = 0; a <= v.i; a++) in >> v.x[a] >> v.minr[a];
    in >> v.N >> v.D;
}

}  // namespace

void ecrireUnite(std::ostream& o, const Element& el)
{
    o << el.numero << ' ' << el.k << ' ' << el.arret << ' ' << el.finit;
    ecrireNoeud(o, el.racine);
    o << '\n';
}

void lireUnite(std::istream& in, Element& el)
{
    el.unite = true;
    in >> el.numero >> el.k >> el.arret >> el.finit;
    lireNoeud(in, el.racine);
}

void ecrireResultat(std::ostream& o, const Element& el)
{
    o << el.dernierFinal << ' ' << el.partiel << ' ' << el.finInterne << ' ' << el.coupe << ' '
      << el.pas;
    if (el.partiel) ecrireNoeud(o, el.reprise);
    o << ' ';
    el.trouves.ecrire(o);
    o << '\n';
}

void lireResultat(std::istream& in, Element& el)
{
    in >> el.dernierFinal >> el.partiel >> el.finInterne >> el.coupe >> el.pas;
    if (el.partiel) lireNoeud(in, el.reprise);
    el.trouves.lire(in);
}

}  // namespace egypte

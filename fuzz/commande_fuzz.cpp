// Fuzz target of the command line: the bytes are the arguments, separated by
// NUL bytes (as they would come from a shell, which cannot pass a NUL inside
// one). Whatever they are, analyser answers: a refusal is one non-empty line
// of printable ASCII that says it comes from egypte; an accepted computation
// holds a positive fraction and values in their ranges.
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "commande/commande.h"

namespace {

void verifier(bool condition, const char* quoi)
{
    if (!condition) {
        std::cerr << "commande_fuzz: " << quoi << '\n';
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille)
{
    using namespace egypte;
    std::vector<std::string> mots{"egypte"};
    if (taille > 0) mots.emplace_back();
    for (std::size_t k = 0; k < taille; k++) {
        if (donnees[k] == 0) mots.emplace_back();
        else mots.back().push_back(static_cast<char>(donnees[k]));
    }
    std::vector<const char*> argv;
    for (const std::string& m : mots) argv.push_back(m.c_str());

    Commande c;
    std::string erreur;
    if (!analyser(static_cast<int>(argv.size()), argv.data(), c, erreur)) {
        verifier(erreur.rfind("egypte : ", 0) == 0 && erreur.size() > 9, "a refusal without its egypte : line");
        for (char ch : erreur) verifier(ch >= 0x20 && ch < 0x7f, "a refusal that is not one line of printable ASCII");
        return 0;
    }
    verifier(erreur.empty(), "an accepted line with a message");
    if (c.action == egypte::Action::aide || c.action == egypte::Action::version) return 0;
    const Probleme& p = c.probleme;
    verifier(p.numerateur > 0 && p.denominateur > 0, "an accepted fraction that is not positive");
    verifier((p.inconnues == egypte::Inconnues::repetees || p.inconnues == egypte::Inconnues::distinctes) &&
                 (p.parite == egypte::Parite::indifferente || p.parite == egypte::Parite::impaires ||
                  p.parite == egypte::Parite::paires), "a type or a parity out of range");
    verifier(p.minimumX1 >= 0 && p.maximumXn >= 0 && p.longueurMin >= 0 && p.longueurMax >= 0 && p.longueur >= 0, "a negative bound");
    verifier(IsZero(p.minimumX1) || IsZero(p.maximumXn) || p.minimumX1 < p.maximumXn, "contradictory bounds on the unknowns accepted");
    // A maximum past every length searched bounds none: it contradicts no minimum.
    verifier(p.longueurMin == 0 || p.longueurMax == 0 || p.longueurMax > egypte::LONGUEUR_MAX || p.longueurMin < p.longueurMax,
             "contradictory bounds on the length accepted");
    verifier(c.K >= 1 && c.fils >= 0 && c.fils <= 1024, "a count or a number of threads out of range");
    verifier(c.action != egypte::Action::estimation || (p.longueur >= 4 && c.duree >= 1 && c.duree <= 86400 && c.journal.empty() &&
                            c.sortie.empty()),
             "an estimate without its length, with a time out of range, or with a listing or a journal");
    return 0;
}

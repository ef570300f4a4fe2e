// The command line. To add an option: its CLI11 name in Options (below), its
// reading in the lire... function of its group (a refusal as one French line
// through refuser), what it cannot go with in the table of exclusions
// (exclusions.cpp), its line in the help (aide.cpp: commande_test fails when
// an option the parser knows has none), its paragraph in
// doc/ligne-de-commande.md and the man page app/egypte.1 (tests/pages.sh
// fails without it), the completion app/egypte.bash, and its rows in
// commande_test.cpp.
//
// CLI11 only cuts the arguments into options, their values
// and the positional arguments; every value is judged here, because CLI11's
// own messages are English and name things its way, while a refusal must be
// one French line that names what was wrong.
//
// Numbers are strings of decimal digits only, of any length, leading zeros
// allowed. No sign, not even '+': every number here is positive or zero, so
// a sign can only be a mistake, and '+5' is refused just as '-5' is.
#include "commande/commande.h"
#include "dialogue/dialogue.h"
#include "egypte/texte.h"

#include <CLI/CLI.hpp>

#include <cstddef>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace egypte {

using NTL::ZZ;

namespace {

// A usage error; `texte` is what follows "egypte : ".
struct Refus {
    std::string texte;
};

[[noreturn]] void refuser(std::string texte) { throw Refus{std::move(texte)}; }

// A value quoted, so that an empty one or one with spaces shows.
std::string cite(const std::string& s) { return citer(s); }

// The same, unquoted: an option's name.
std::string propre(const std::string& s)
{
    const std::string q = citer(s);
    return q.substr(1, q.size() - 2);
}

bool chiffres(const std::string& s)
{
    if (s.empty()) return false;
    for (char ch : s)
        if (ch < '0' || ch > '9') return false;
    return true;
}

ZZ nombre(const std::string& s)
{
    ZZ v;
    decimal(v, s.data(), s.size());
    return v;
}

// The one value of an option that takes one (CLI11 leaves them all; a
// repeated option was refused before).
const std::string* valeurDe(const CLI::Option* o)
{
    return o->count() == 0 ? nullptr : &o->results().front();
}

// A bound: 0 stands for none.
void borne(const CLI::Option* o, ZZ& v)
{
    const std::string* s = valeurDe(o);
    if (s == nullptr) return;
    if (!chiffres(*s)) refuser(o->get_name() + " attend un entier positif ou nul, pas " + cite(*s));
    v = nombre(*s);
}

// A length, of any size as entered, as a Probleme holds it.
void borne(const CLI::Option* o, long& v)
{
    ZZ n;
    borne(o, n);
    if (valeurDe(o) != nullptr) v = longueurLue(n);
}

// A count of at least 1.
void auMoinsUn(const CLI::Option* o, ZZ& v)
{
    const std::string* s = valeurDe(o);
    if (s == nullptr) return;
    if (!chiffres(*s) || IsZero(v = nombre(*s)))
        refuser(o->get_name() + " attend un entier au moins egal a 1, pas " + cite(*s));
}

void auMoinsUn(const CLI::Option* o, long& v)
{
    ZZ n;
    auMoinsUn(o, n);
    if (valeurDe(o) != nullptr) v = longueurLue(n);
}

void fichier(const CLI::Option* o, std::string& nom)
{
    const std::string* s = valeurDe(o);
    if (s == nullptr) return;
    if (s->empty()) refuser(o->get_name() + " attend un nom de fichier non vide");
    nom = *s;
}

// One term of the fraction, a positive integer.
ZZ terme(const std::string& s, const char* nom, const std::string& cite_)
{
    if (!chiffres(s)) refuser(std::string(nom) + " mal forme : " + cite_ + " (entier positif attendu)");
    ZZ v = nombre(s);
    if (IsZero(v)) refuser(std::string(nom) + " nul : " + cite_ + " (entier positif attendu)");
    return v;
}

// --debut x1,x2,...: positive integers separated by commas.
void lireDebut(const CLI::Option* o, std::vector<ZZ>& debut)
{
    const std::string* s = valeurDe(o);
    if (s == nullptr) return;
    std::size_t i = 0;
    for (;;) {
        const std::size_t virgule = s->find(',', i);
        const std::string x = s->substr(i, virgule == std::string::npos ? std::string::npos : virgule - i);
        if (!chiffres(x) || IsZero(nombre(x)))
            refuser("--debut attend des entiers positifs separes par des virgules (x1,x2,...), pas " + cite(*s));
        debut.push_back(nombre(x));
        if (virgule == std::string::npos) break;
        i = virgule + 1;
    }
}

void fraction(const std::vector<std::string>& args, Probleme& pb)
{
    if (args.empty()) refuser("fraction manquante (egypte [options] P/Q, ou P Q ; egypte --aide)");
    if (args.size() > 2) refuser("argument en trop : " + cite(args[2]) + " (une fraction P/Q, ou P Q)");
    if (args.size() == 2) {
        pb.numerateur = terme(args[0], "numerateur", cite(args[0]));
        pb.denominateur = terme(args[1], "denominateur", cite(args[1]));
        return;
    }
    const std::string& f = args[0];
    const std::size_t barre = f.find('/');
    if (barre == std::string::npos) {
        if (chiffres(f)) refuser("fraction incomplete : " + cite(f) + " (P/Q, ou P Q)");
        refuser("fraction mal formee : " + cite(f) + " (P/Q attendu, P et Q entiers positifs)");
    }
    const std::string p = f.substr(0, barre), q = f.substr(barre + 1);
    if (!chiffres(p) || !chiffres(q))
        refuser("fraction mal formee : " + cite(f) + " (P/Q attendu, P et Q entiers positifs)");
    pb.numerateur = terme(p, "numerateur", cite(f));
    pb.denominateur = terme(q, "denominateur", cite(f));
}

// A small integer of at most `chiffresMax` digits past any leading zeros,
// from 1 to `max`; 0 when it is not one.
int petit(const std::string& s, std::size_t chiffresMax, int max)
{
    const std::size_t debut = s.find_first_not_of('0');
    const bool court = chiffres(s) && (debut == std::string::npos || s.size() - debut <= chiffresMax);
    const int n = court ? std::stoi(s) : 0;
    return n >= 1 && n <= max ? n : 0;
}

// Every option of the command line, as CLI11 found them.
struct Options {
    CLI::App app{"egypte"};
    CLI::Option *repetitions, *sansUn, *compter, *json, *aide, *help, *version, *estimer, *moinsUn, *premiers,
        *meilleur;
    CLI::Option *parite, *minx, *maxxn, *minn, *maxn, *longueur, *premieres, *uneSur, *journal, *sortie, *fils,
        *duree, *balayer, *debut, *numerateur, *auPlus;
    std::vector<std::string> positionnels;

    Options()
    {
        // --aide and --help are ours, and so is the help text.
        app.set_help_flag();
        // Unknown options are kept aside and refused below, in French.
        app.allow_extras();
        // Every occurrence is kept, so that a repeated option is seen and refused.
        const auto toutes = CLI::MultiOptionPolicy::TakeAll;
        auto drapeau = [&](const char* nom) { return app.add_flag(nom)->multi_option_policy(toutes); };
        auto option = [&](const char* nom) { return app.add_option(nom)->multi_option_policy(toutes); };
        repetitions = drapeau("--repetitions");
        sansUn = drapeau("--sans-un");
        compter = drapeau("--compter");
        json = drapeau("--json");
        aide = drapeau("--aide");
        help = drapeau("--help");
        version = drapeau("--version");
        estimer = drapeau("--estimer");
        moinsUn = drapeau("--moins-un");
        premiers = drapeau("--premiers");
        meilleur = drapeau("--meilleur");
        numerateur = option("--numerateur");
        auPlus = option("--au-plus");
        balayer = option("--balayer");
        debut = option("--debut");
        parite = option("--parite");
        minx = option("--min-x1");
        maxxn = option("--max-xn");
        minn = option("--min-n");
        maxn = option("--max-n");
        longueur = option("--longueur");
        premieres = option("--premieres");
        uneSur = option("--une-sur");
        journal = option("--journal");
        sortie = option("--sortie");
        fils = option("--fils");
        duree = option("--duree");
        app.add_option("fraction", positionnels);
    }
};

// Cuts the arguments into options, their values and the fraction; refuses
// an unknown option, a missing value, a repeated option, a flag with a value.
void decouper(int argc, const char* const* argv, Options& o)
{
    // CLI11 takes the arguments last first. After "--" every argument is
    // the fraction's, even one that begins with a dash.
    int fin = argc;
    for (int k = 1; k < argc; k++)
        if (std::string(argv[k]) == "--") {
            fin = k;
            break;
        }
    std::vector<std::string> args;
    for (int k = fin - 1; k >= 1; k--) args.emplace_back(argv[k]);
    try {
        o.app.parse(args);
    } catch (const CLI::ArgumentMismatch&) {
        // An option's value is taken whatever it looks like, so a value is
        // missing only after the last argument.
        std::string nom = fin > 1 ? argv[fin - 1] : "";
        nom = nom.substr(0, nom.find('='));
        refuser("l'option " + propre(nom) + " attend une valeur");
    } catch (const CLI::ParseError&) {
        refuser("ligne de commande illisible (egypte --aide)");
    }
    const std::vector<std::string> inconnues = o.app.remaining();
    if (!inconnues.empty()) refuser("option inconnue : " + cite(inconnues.front()) + " (egypte --aide)");
    for (const CLI::Option* opt : o.app.get_options()) {
        // Asking twice for the help or the version is still asking for it.
        if (opt == o.aide || opt == o.help || opt == o.version || opt->get_positional()) continue;
        if (opt->count() > 1) refuser("l'option " + opt->get_name() + " est donnee plusieurs fois");
        // A bare flag leaves "true"; --json=non would be silently taken.
        if (opt->get_expected_max() == 0 && opt->count() == 1 && opt->results().front() != "true")
            refuser("l'option " + opt->get_name() + " ne prend pas de valeur");
    }
    for (int k = fin + 1; k < argc; k++) o.positionnels.emplace_back(argv[k]);
}

// The options given together that the table of exclusions forbids.
void exclure(const Options& o)
{
    const bool balayage = o.balayer->count() > 0;
    const auto donnee = [&o](const std::string& nom) { return o.app.get_option(nom)->count() > 0; };
    const auto raison = [](const Exclusion& e) { return e.pourquoi.empty() ? "" : " (" + e.pourquoi + ")"; };
    for (const Exclusion& e : exclusions()) {
        if (e.horsBalayage && balayage) continue;
        const std::string hors = e.horsBalayage ? " hors d'un balayage" : "";
        const std::vector<std::string>& n = e.options;
        if (e.forme == Exclusion::Forme::exclut) {
            if (!donnee(n.front())) continue;
            for (std::size_t k = 1; k < n.size(); k++)
                if (donnee(n[k])) refuser(n.front() + " exclut " + n[k] + hors + raison(e));
            continue;
        }
        for (std::size_t i = 0; i < n.size(); i++)
            for (std::size_t k = i + 1; k < n.size(); k++)
                if (donnee(n[i]) && donnee(n[k])) refuser(n[i] + " et " + n[k] + " s'excluent" + hors + raison(e));
    }
}

void lireProbleme(const Options& o, Probleme& pb)
{
    pb.inconnues = o.repetitions->count() > 0 ? Inconnues::repetees : Inconnues::distinctes;
    pb.sansUn = o.sansUn->count() > 0;
    if (const std::string* s = valeurDe(o.parite)) {
        if (!lireParite(*s, pb.parite)) refuser("--parite attend paire, impaire ou indifferente, pas " + cite(*s));
    }
    // The values of the options are judged before the fraction: in
    // `--parite 4/5` the fraction was taken for the value.
    borne(o.minx, pb.minimumX1);
    borne(o.maxxn, pb.maximumXn);
    borne(o.minn, pb.longueurMin);
    borne(o.maxn, pb.longueurMax);
    auMoinsUn(o.longueur, pb.longueur);
    lireDebut(o.debut, pb.debut);
    // A scan has no fraction: the constraints are checked on a stand-in.
    if (o.balayer->count() > 0) {
        if (!o.positionnels.empty())
            refuser("--balayer exclut la fraction : " + cite(o.positionnels.front()) + " (les fractions sont p/q)");
        pb.numerateur = 1;
        pb.denominateur = 2;
    } else {
        fraction(o.positionnels, pb);
    }
    // The rules of a problem given whole are the library's, the same for
    // every front end.
    try {
        verifier(pb);
    } catch (const Erreur& e) {
        refuser(e.texte(motDeLaLigne));
    }
}

void lireMontrer(const Options& o, Commande& c)
{
    const CLI::Option* montrer = nullptr;
    for (const CLI::Option* opt : {o.premieres, o.uneSur, o.compter})
        if (opt->count() > 0) montrer = opt;
    auMoinsUn(o.premieres, c.K);
    auMoinsUn(o.uneSur, c.K);
    if (montrer == o.premieres) c.montrer = Commande::Montrer::premieres;
    else if (montrer == o.uneSur) c.montrer = Commande::Montrer::uneSur;
    else if (montrer == o.compter) c.montrer = Commande::Montrer::compter;
    c.json = o.json->count() > 0;
    if (o.meilleur->count() > 0 && o.balayer->count() == 0) c.action = Action::meilleur;
}

void lireFichiersEtFils(const Options& o, Commande& c)
{
    fichier(o.journal, c.journal);
    fichier(o.sortie, c.sortie);
    if (const std::string* s = valeurDe(o.fils)) {
        c.fils = lireFils(*s).value_or(0);
        if (c.fils == 0) refuser("--fils attend un entier de 1 a 1024, pas " + cite(*s));
    } else if (const char* v = std::getenv("EGYPTE_FILS")) {
        // Read here, so that a mistyped value is refused rather than
        // silently replaced by every core.
        c.fils = lireFils(v).value_or(0);
        if (c.fils == 0) refuser("EGYPTE_FILS attend un entier de 1 a 1024, pas " + cite(v));
    }
}

void lireEstimation(const Options& o, Commande& c)
{
    const bool estimer = o.estimer->count() > 0;
    if (const std::string* s = valeurDe(o.duree)) {
        if (!estimer) refuser("--duree va avec --estimer (la duree des sondages)");
        c.duree = petit(*s, 5, 86400);
        if (c.duree == 0) refuser("--duree attend un nombre de secondes de 1 a 86400, pas " + cite(*s));
    }
    if (!estimer) return;
    c.action = Action::estimation;
    // The estimate is of the walk of one length, and it lists nothing.
    const Probleme& pb = c.probleme;
    if (pb.longueur == 0) refuser("--estimer demande --longueur N (la longueur dont estimer le compte)");
    if (pb.longueur < 4)
        refuser("--estimer demande une longueur d'au moins 4 (une longueur plus courte se compte directement)");
}

// One denominator of --balayer: digits, from 2 (1 in a family) to below 2^62.
std::int64_t denominateur(const std::string& s, const std::string& valeur, bool famille)
{
    const std::string mal = std::string("--balayer attend Q1..Q2 (") + (famille ? "1" : "2") +
                            " <= Q1 <= Q2 < 2^62) ou Q, pas " + cite(valeur);
    const std::size_t debut = s.find_first_not_of('0');
    if (!chiffres(s) || debut == std::string::npos || s.size() - debut > 19) refuser(mal);
    const ZZ v = nombre(s);
    if (v < (famille ? 1 : 2) || v >= NTL::power2_ZZ(62)) refuser(mal);
    return static_cast<std::int64_t>(to_long(v));
}

// What a scan computes for each fraction: --compter, --meilleur or
// --au-plus K (at most one), or the minimal lengths tallied.
void lireMode(const Options& o, Commande& c)
{
    DemandeBalayage& d = c.balayage;
    const CLI::Option* mode = nullptr;
    for (const CLI::Option* opt : {o.compter, o.meilleur, o.auPlus})
        if (opt->count() > 0) mode = opt;
    if (mode == o.compter) d.mode = ModeBalayage::compter;
    else if (mode == o.meilleur) d.mode = ModeBalayage::meilleur;
    else if (mode == o.auPlus) {
        d.mode = ModeBalayage::auPlus;
        const std::string& s = *valeurDe(o.auPlus);
        d.auPlus = petit(s, 6, static_cast<int>(LONGUEUR_MAX));
        if (d.auPlus == 0) refuser("--au-plus attend un entier de 1 a 100000, pas " + cite(s));
    }
    if (const std::string* s = valeurDe(o.numerateur)) {
        if (!chiffres(*s) || IsZero(d.numerateur = nombre(*s)))
            refuser("--numerateur attend un entier au moins egal a 1, pas " + cite(*s));
        // A line of lengths tallies every numerator of q: a family has one.
        if (mode == nullptr) refuser("--numerateur va avec --compter, --meilleur ou --au-plus K (un resultat par fraction M/q)");
    }
}

void lireBalayage(const Options& o, Commande& c)
{
    const std::string* s = valeurDe(o.balayer);
    for (const CLI::Option* opt : {o.moinsUn, o.premiers, o.numerateur, o.auPlus})
        if (s == nullptr && opt->count() > 0) refuser(opt->get_name() + " va avec --balayer Q1..Q2");
    if (s == nullptr) return;
    c.action = Action::balayage;
    lireMode(o, c);
    const std::size_t points = s->find("..");
    DemandeBalayage& d = c.balayage;
    // A family M/q begins at q = 1 if asked (M/1 has its count too).
    const bool famille = !IsZero(d.numerateur);
    d.q1 = denominateur(s->substr(0, points), *s, famille);
    d.q2 = points == std::string::npos ? d.q1 : denominateur(s->substr(points + 2), *s, famille);
    if (d.q2 < d.q1) refuser("--balayer attend Q1..Q2 avec Q1 <= Q2, pas " + cite(*s));
    d.moinsUn = o.moinsUn->count() > 0;
    d.premiers = o.premiers->count() > 0;
    d.fils = c.fils;
    d.ligneDEtat = true;
    d.journal = c.journal;
}

void lire(int argc, const char* const* argv, Commande& c)
{
    Options o;
    decouper(argc, argv, o);
    // Help or version asked for: the caller prints it and stops, so the
    // fraction and the values are not judged.
    if (o.aide->count() > 0 || o.help->count() > 0) c.action = Action::aide;
    else if (o.version->count() > 0) c.action = Action::version;
    if (c.action != Action::recherche) return;
    exclure(o);
    lireProbleme(o, c.probleme);
    lireMontrer(o, c);
    lireFichiersEtFils(o, c);
    lireEstimation(o, c);
    lireBalayage(o, c);
}

}  // namespace

bool analyser(int argc, const char* const* argv, Commande& c, std::string& erreur)
{
    // From a named default: `c = Commande{}` draws a false -Wmaybe-uninitialized
    // from GCC inside NTL::ZZ.
    const Commande vierge;
    c = vierge;
    erreur.clear();
    try {
        lire(argc, argv, c);
        return true;
    } catch (const Refus& r) {
        erreur = "egypte : " + r.texte;
        return false;
    }
}

std::vector<std::string> optionsDeLaLigne()
{
    const Options o;
    std::vector<std::string> noms;
    for (const CLI::Option* opt : o.app.get_options())
        if (!opt->get_positional()) noms.push_back(opt->get_name());
    return noms;
}

const char* motDeLaLigne(Terme t)
{
    switch (t) {
    case Terme::inconnues: return "--repetitions";
    case Terme::parite: return "--parite";
    case Terme::minimumX1: return "--min-x1";
    case Terme::maximumXn: return "--max-xn";
    case Terme::longueurMin: return "--min-n";
    case Terme::longueurMax: return "--max-n";
    case Terme::longueur: return "--longueur";
    case Terme::sansUn: return "--sans-un";
    case Terme::fils: return "--fils";
    case Terme::estimation: return "--estimer";
    }
    return "?";
}

std::string versionCommande() { return std::string("egypte ") + version(); }

}  // namespace egypte

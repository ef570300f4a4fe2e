// The expansions one by one, for the generator `developpements` of
// egypte/__init__.py. The search runs on a thread of its own, which hands
// batches of expansions over a bounded queue: memory stays bounded whatever
// the count, and the search runs without the GIL, while Python turns the
// previous batch into tuples. Closing the generator (or dropping it) sets
// the search's stop: it ends at its next step, not at its next expansion,
// which a sparse search may take days to reach.
#include <deque>
#include <memory>

#include "module.h"

namespace egypte_python {

namespace {

// A batch of expansions as they cross: machine words when every value of an
// expansion fits, its hexadecimal text otherwise.
struct Lot {
    int n = 0;
    std::vector<unsigned long long> mots;  // n values per expansion that fits
    std::vector<std::string> grands;       // n texts per expansion that does not
    std::vector<char> grand;               // per expansion: which of the two
    std::size_t taille() const { return grand.size(); }
};

// What the search thread and the generator share; kept alive by both.
struct File {
    std::mutex verrou;
    std::condition_variable change;
    std::deque<Lot> lots;
    bool fin = false;                 // the search is over
    std::string erreur;               // it failed (an Erreur)
    std::atomic<bool> fermee{false};  // the generator is closed: the search stops
    Arret arret;                      // the search's own; inscribed while the search runs
    static constexpr std::size_t LOTS_MAX = 16, TAILLE_LOT = 4096;
};

class Remise : public egypte::Recepteur {
public:
    explicit Remise(std::shared_ptr<File> f) : f_(std::move(f)) {}
    Suite recevoir(const egypte::Developpement& x, std::int64_t) override
    {
        lot_.n = x.taille();
        bool mots = true;
        for (int a = 0; a < x.taille() && mots; a++) mots = NumBits(x[a]) <= 64;
        lot_.grand.push_back(mots ? 0 : 1);
        for (int a = 0; a < x.taille(); a++) {
            if (mots) {
                lot_.mots.push_back(NTL::to_ulong(x[a]));
            } else {
                lot_.grands.push_back(hexadecimal(x[a]));
            }
        }
        if (lot_.taille() >= File::TAILLE_LOT) envoyer();
        Suite s;
        s.arreter = f_->fermee.load();
        return s;
    }
    void envoyer()
    {
        if (lot_.taille() == 0) return;
        std::unique_lock<std::mutex> v(f_->verrou);
        f_->change.wait(v, [&] { return f_->lots.size() < File::LOTS_MAX || f_->fermee.load(); });
        if (!f_->fermee.load()) f_->lots.push_back(std::move(lot_));
        lot_ = Lot{};
        f_->change.notify_all();
    }

private:
    std::shared_ptr<File> f_;
    Lot lot_;
};

// The batches of one search, as lists of tuples; the generator of
// `developpements` (egypte/__init__.py) goes through them.
class Lots {
public:
    Lots(const egypte::Probleme& p, egypte::Demande d) : f_(std::make_shared<File>())
    {
        std::shared_ptr<File> f = f_;
        d.arret = &f->arret.arret;
        Arrets::toutes().inscrire(&f->arret);
        try {
            fil_ = std::thread([f, p, d] {
                {
                    Remise r(f);
                    try {
                        egypte::chercher(p, d, &r);
                        r.envoyer();
                    } catch (const std::exception& e) {
                        std::lock_guard<std::mutex> v(f->verrou);
                        f->erreur = message(e);
                    }
                }
                Arrets::toutes().retirer(&f->arret);
                std::lock_guard<std::mutex> v(f->verrou);
                f->fin = true;
                f->change.notify_all();
            });
        } catch (...) {
            Arrets::toutes().retirer(&f->arret);
            throw;
        }
    }
    ~Lots() { fermer(); }

    py::list suivant()
    {
        if (f_->fermee.load()) throw py::stop_iteration();
        for (;;) {
            Lot lot;
            bool fin = false;
            {
                py::gil_scoped_release libre;
                std::unique_lock<std::mutex> v(f_->verrou);
                f_->change.wait_for(v, std::chrono::milliseconds(50), [&] { return !f_->lots.empty() || f_->fin; });
                if (!f_->lots.empty()) {
                    lot = std::move(f_->lots.front());
                    f_->lots.pop_front();
                    f_->change.notify_all();
                }
                fin = f_->fin && f_->lots.empty();
            }
            // Ctrl-C seen by the main thread while this one iterates: the
            // search stopped (its end is no end), nothing more is handed over.
            if (f_->arret.ctrlC.load()) {
                fermer();
                ctrlCVenuDAilleurs();
            }
            if (lot.taille() > 0) return liste(lot);
            if (fin) {
                std::string e;
                {
                    std::lock_guard<std::mutex> v(f_->verrou);
                    e = f_->erreur;
                }
                if (!e.empty()) throw py::value_error(e);
                throw py::stop_iteration();
            }
            if (signalRecu(f_->arret)) {
                fermer();
                throw py::error_already_set();
            }
        }
    }

    void fermer()
    {
        f_->arret.arret = true;
        f_->fermee = true;
        if (!fil_.joinable()) return;
        {
            std::lock_guard<std::mutex> v(f_->verrou);
            f_->change.notify_all();
        }
        // The search stops at its next step; until then it goes on alone,
        // with what it shares kept alive.
        fil_.detach();
    }

private:
    std::shared_ptr<File> f_;
    std::thread fil_;

    static py::list liste(const Lot& lot)
    {
        py::list l(lot.taille());
        std::size_t m = 0, g = 0;
        for (std::size_t j = 0; j < lot.taille(); j++) {
            py::tuple t(lot.n);
            for (int a = 0; a < lot.n; a++) {
                PyObject* x = lot.grand[j] ? depuisHexadecimal(lot.grands[g++]).release().ptr()
                                           : PyLong_FromUnsignedLongLong(lot.mots[m++]);
                if (x == nullptr) throw py::error_already_set();
                PyTuple_SET_ITEM(t.ptr(), a, x);
            }
            PyList_SET_ITEM(l.ptr(), static_cast<Py_ssize_t>(j), t.release().ptr());
        }
        return l;
    }
};

std::unique_ptr<Lots> lots(const py::object& p, const py::object& q, const py::kwargs& k)
{
    const Options o = lireOptions(k);
    const egypte::Probleme pb = probleme(p, q, o);
    egypte::Demande d;
    d.fils = o.fils;
    return std::make_unique<Lots>(pb, d);
}

}  // namespace

void declarerLots(py::module_& m)
{
    py::class_<Lots>(m, "_Lots", "Les developpements d'une recherche, par lots.")
        .def("__iter__", [](Lots& l) -> Lots& { return l; })
        .def("__next__", &Lots::suivant)
        .def("close", &Lots::fermer, "Arrete la recherche.");
    m.def("_lots", &lots, py::arg("p"), py::arg("q"));
}

}  // namespace egypte_python

// Python ints of any size to NTL's integers and back.
#include "module.h"

namespace egypte_python {

static_assert(sizeof(long) == sizeof(long long), "a machine word is a long for NTL's conversions");

NTL::ZZ versZZ(const py::handle& v)
{
    int debord = 0;
    const long long mot = PyLong_AsLongLongAndOverflow(v.ptr(), &debord);
    if (mot == -1 && PyErr_Occurred()) throw py::error_already_set();
    if (debord == 0) return NTL::conv<NTL::ZZ>(static_cast<long>(mot));
    // Beyond a word: its hexadecimal digits ("-0x..." or "0x..."), bytes
    // from the least significant one for NTL.
    const py::object h = py::reinterpret_steal<py::object>(PyNumber_ToBase(v.ptr(), 16));
    if (!h) throw py::error_already_set();
    const std::string t = py::str(h);
    const bool negatif = t[0] == '-';
    const std::size_t premier = negatif ? 3 : 2, chiffres = t.size() - premier;
    std::vector<unsigned char> octets((chiffres + 1) / 2, 0);
    for (std::size_t k = 0; k < chiffres; k++) {
        const char c = t[t.size() - 1 - k];
        const unsigned d = c <= '9' ? static_cast<unsigned>(c - '0') : static_cast<unsigned>(c - 'a' + 10);
        octets[k / 2] = static_cast<unsigned char>(octets[k / 2] | (d << (4 * (k % 2))));
    }
    NTL::ZZ z;
    NTL::ZZFromBytes(z, octets.data(), static_cast<long>(octets.size()));
    if (negatif) NTL::negate(z, z);
    return z;
}

// v in hexadecimal, its sign first when it is negative, for PyLong_FromString.
std::string hexadecimal(const NTL::ZZ& v)
{
    const long n = NTL::NumBytes(v);
    if (n == 0) return "0";
    std::vector<unsigned char> octets(static_cast<std::size_t>(n));
    NTL::BytesFromZZ(octets.data(), v, n);  // |v|, the least significant byte first
    static const char chiffres[] = "0123456789abcdef";
    std::string t = NTL::sign(v) < 0 ? "-" : "";
    for (long k = n - 1; k >= 0; k--) {
        t += chiffres[octets[static_cast<std::size_t>(k)] >> 4];
        t += chiffres[octets[static_cast<std::size_t>(k)] & 15];
    }
    return t;
}

py::object depuisHexadecimal(const std::string& t)
{
    PyObject* r = PyLong_FromString(t.c_str(), nullptr, 16);
    if (r == nullptr) throw py::error_already_set();
    return py::reinterpret_steal<py::object>(r);
}

// v as a Python int: a signed word up to 63 bits, an unsigned one up to 64
// (2^63 to 2^64 - 1 must not come back negative), its digits beyond.
py::object versPython(const NTL::ZZ& v)
{
    const long bits = NTL::NumBits(v);
    if (bits <= 63) return py::reinterpret_steal<py::object>(PyLong_FromLong(NTL::to_long(v)));
    if (bits == 64 && NTL::sign(v) > 0)
        return py::reinterpret_steal<py::object>(PyLong_FromUnsignedLong(NTL::to_ulong(v)));
    return depuisHexadecimal(hexadecimal(v));
}

}  // namespace egypte_python

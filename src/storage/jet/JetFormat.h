#pragma once

#include <QString>

namespace lms::JetFormat {

// What the first page of a file says it is, read from its header alone (never by trying a
// password): the shop's database of the old desktop engine is a Jet 4.0 file.
enum class Kind {
    NotJet,      // some other file (the encrypted file, a dump, anything else)
    Jet4,        // a Jet 4.0 file, whole pages
    OtherEngine, // the header of an earlier or later engine of the same family
    Damaged,     // a Jet 4.0 header on a file cut short or not made of whole pages
};

struct Probe {
    Kind kind = Kind::NotJet;
    int version = -1; // the engine's version byte, where the header has one
};

// Reads the header of the file at `path`; a missing or unreadable file is NotJet.
Probe probe(const QString& path);

// The page size of a Jet 4.0 file.
inline constexpr int kPageSize = 4096;

// Why such a file cannot be moved, for the shop owner; empty for a sound Jet 4.0 header.
QString refusal(const Probe& probe);

} // namespace lms::JetFormat

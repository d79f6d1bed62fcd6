#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <span>

// The names of our own private files, made and read here only, since a
// converter recovering a folder after a crash must read back exactly what
// the one that died wrote:
//   ".fw-k3x9q2.tmp"                            a JPEG not yet named
//   ".fw-k3x9q2.del.c1a00003.bmp"               a bitmap set aside, no JPEG yet
//   ".fw-k3x9q2.del.0042-9f86d081884c7d65.c1a00003.bmp"
//                                               a bitmap set aside while its
//                                               JPEG takes number 42; the JPEG
//                                               has these leading bytes of
//                                               its content's SHA-256
// The leading dot hides them from the window's list, a watch and a file
// manager (Windows also gets the hidden attribute); the short random part
// keeps a name that fits in its directory from failing for its private one.
struct PrivateName {
    enum class Kind { Temporary, Aside };

    // The record of the JPEG a bitmap set aside is waiting for.
    struct Journal {
        int number = 0;
        std::uint64_t fingerprint = 0;
        friend bool operator==(const Journal&, const Journal&) = default;
    };

    Kind kind = Kind::Temporary;
    QString random;                 // six letters or digits
    QString own;                    // Aside: the bitmap's own name; empty from older versions
    std::optional<Journal> journal; // Aside: set once its JPEG is about to be named

    static PrivateName temporary();
    // A name for a bitmap set aside. A long name gives up its start (never
    // its number and extension) so that the whole fits in 255 bytes.
    static PrivateName aside(const QString& ownName, std::optional<Journal> journal = std::nullopt);

    QString fileName() const;
    // Nothing for a name that is not one of ours.
    static std::optional<PrivateName> parse(const QString& fileName);
};

// What identifies a JPEG's content in a journal.
std::uint64_t jpegFingerprint(std::span<const std::uint8_t> bytes);

#pragma once

// Who made Framewright and where to find them: one place for the facts that
// the converter's window (its caption, About line and web labels) and the
// viewer's credits both show.
namespace makers {

inline constexpr char kTeam[] = "Quenk";
inline constexpr char kProgrammer[] = "Kestrel";
inline constexpr char kDesigner[] = "Mirabo";
inline constexpr const char* kTesters[] = {"Kip", "Vorn", "Lusk", "Tamz"};

// The chat channel the makers meet on, and its network.
inline constexpr char kChatChannel[] = "#hlshots";
inline constexpr char kChatNetwork[] = "FragNet";

// The makers' and the sponsor's web pages, as the window's labels show them.
inline constexpr char kMakersAddress[] = "quenk.example.org";
inline constexpr char kSponsorAddress[] = "snapz.example.net";

} // namespace makers

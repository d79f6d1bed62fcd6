#include "HelpText.h"

QString helpDescription()
{
    return helpConversion()
           + QStringLiteral("The directories come from the arguments, else from Framewright's saved\n"
                            "settings, else from the game's registry entries and Steam. The quality\n"
                            "comes from --quality, else the saved settings, else 90.\n"
                            "\n")
           + helpModFolders()
           + QStringLiteral("For example, with Steam's copy of the game:\n"
                            "  set HL=C:\\Program Files (x86)\\Steam\\steamapps\\common\\Half-Life\n"
                            "  framewright-convert --watch \"%HL%\" \"%USERPROFILE%\\Pictures\\Half-Life\"\n"
                            "  framewright-convert \"%HL%\\valve\" \"%HL%\\cstrike\" C:\\CS_JPEG\n"
                            "\n"
                            "--watch with no folder named follows the game that Framewright's window\n"
                            "finds: every mod folder of it, a mod installed later too, into the saved\n"
                            "output folder, with the saved quality and the saved Delete choice. It runs\n"
                            "in the background mode Windows gives to work that must not disturb the\n"
                            "foreground (or the idle class where that is refused), so that a game never\n"
                            "waits for it. The installer's option \"Convert new screenshots while I\n"
                            "play\" starts such a watch, with no window, at every logon: it is\n"
                            "framewright-watch.exe in the install folder, which writes its lines to\n"
                            "%LOCALAPPDATA%\\Framewright\\watch.log; the Start menu's Framewright folder\n"
                            "starts and stops it (framewright-watch.exe --stop). A folder is converted\n"
                            "by one watch at a time: a watch started for a folder that another one\n"
                            "converts says so and ends.\n"
                            "\n"
                            "Exit status: 0 when every screenshot was converted or skipped, 1 when any\n"
                            "failed, 2 for a usage error, 130 after Ctrl+C.");
}

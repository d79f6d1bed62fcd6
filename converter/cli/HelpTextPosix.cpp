#include "HelpText.h"

QString helpDescription()
{
    return helpConversion()
           + QStringLiteral("The directories come from the arguments, else from Framewright's saved\n"
                            "settings, else from the first-start search (Wine, Steam). The quality comes\n"
                            "from --quality, else the saved settings, else 90.\n"
                            "\n")
           + helpModFolders()
           + QStringLiteral("For example, with the game's folder in HL (Steam's is\n"
                            "~/.steam/steam/steamapps/common/Half-Life):\n"
                            "  framewright-convert --watch \"$HL\" ~/Pictures/Half-Life\n"
                            "  framewright-convert \"$HL/valve\" \"$HL/cstrike\" ~/Pictures/Half-Life\n"
                            "\n"
                            "--watch with no folder named follows the game that Framewright's window\n"
                            "finds: every mod folder of it, a mod installed later too, into the saved\n"
                            "output folder, with the saved quality and the saved Delete choice. It runs\n"
                            "at idle processor and disk priority, so that a game never waits for it: it\n"
                            "converts in the time the game leaves over. The systemd user unit\n"
                            "framewright-watch.service runs it that way (systemctl --user enable --now\n"
                            "framewright-watch); to watch other folders, name them with\n"
                            "'systemctl --user edit framewright-watch'. A folder is converted by one\n"
                            "watch at a time: a watch started for a folder that another one converts\n"
                            "says so and ends.\n"
                            "\n"
                            "Exit status: 0 when every screenshot was converted or skipped, 1 when any\n"
                            "failed, 2 for a usage error, 130 after SIGINT and 143 after SIGTERM.");
}

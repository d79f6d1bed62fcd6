#include "HelpText.h"

QString helpConversion()
{
    return QStringLiteral("Converts Half-Life's screenshots into numbered JPEG files, the same way\n"
                          "Framewright's window does: c1a00003.bmp becomes c1a00000.JPG, or the\n"
                          "lowest free number after it. Unlike the window, which converts *.bmp only,\n"
                          "it also converts the *.tga files of the game's screenshot command\n"
                          "(HalfLife07.tga, taken with no map loaded, becomes HalfLife0000.JPG), and\n"
                          "once 0000 to 9998 are all taken (a recorded movie) it goes on with 9999,\n"
                          "10000 and so on up to 99999. An existing file is never overwritten, and a\n"
                          "screenshot is deleted (with --delete) only once its JPEG is safely on the\n"
                          "disk. Names of 8 characters or fewer and files under 360000 bytes (for a\n"
                          "TGA file: its picture as a bitmap) are skipped.\n"
                          "\n");
}

QString helpModFolders()
{
    return QStringLiteral("Half-Life saves each mod's screenshots in the mod's folder: valve, cstrike\n"
                          "and so on. Given the game's folder, the one that holds them, it converts\n"
                          "from every mod folder in it (each folder with a liblist.gam), and --watch\n"
                          "also follows a mod installed later. Several input folders may be named:\n"
                          "then the last folder named is the output folder. The JPEG files of every\n"
                          "folder go into the one output folder.\n");
}

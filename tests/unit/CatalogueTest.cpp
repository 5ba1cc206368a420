#include "res/Catalogue.h"

#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <map>
#include <string>

namespace {

const char* Find(unsigned id)
{
    for (unsigned i = 0; i < kCatalogueSize; ++i) {
        if (kCatalogue[i].id == id)
            return kCatalogue[i].text;
    }
    return nullptr;
}

int InsertCount(const char* text)
{
    int count = 0;
    for (const char* p = std::strstr(text, "%s"); p; p = std::strstr(p + 2, "%s"))
        ++count;
    return count;
}

// The texts as the program must show them, in code page 1252, written out here a
// second time so that a slip in the shared table shows.
const std::map<unsigned, std::string>& ExpectedTexts()
{
    static const std::map<unsigned, std::string> texts = {
        {1000, "Dieser Treiber stellt dem MultiBrenno die erste Druckerschnittstelle (LPT1) zu Verf\374gung\n\nW\344hlen Sie 'Installieren' wenn Sie dies m\366chten\nSoll kein Treiber installiert werden so w\344hlen Sie 'Ende'\n____________________________________________\n\nThis driver is needed for the MultiBrenno to use the first Printer-Port (LPT1).\n\nChoose 'Install' if you want to install it\nIf you don't want to install the driver choose 'Exit'"},
        {1002, "Ende / Exit"},
        {1004, "Installieren / Install"},
        {1005, "Druckerport-Treiber f\374r MultiBrenno unter Windows 2000/XP"},
        {1006, "Inf&o \374ber Vantinst..."},
        {1134, "F\374r die Installation des Treibers sind Administratorrechte n\366tig.\nBitte melden Sie sich als Administrator an und starten Sie das Programm erneut."},
        {1103, "Attribute der Datei %s k\366nnen nicht gelesen werden"},
        {1104, "Attribute der Datei %s k\366nnen nicht gesetzt werden"},
        {1109, "Datei %s l\344\337t sich nicht in %s kopieren"},
        {1110, "GetVersionEx() lieferte False."},
        {1116, "Der DruckerPort-Treiber wurde erfolgreich installiert.\nBitte beenden Sie alle anderen Programme, der Rechner  wird neu gestartet.\nW\344hlen Sie dann in der WinBrenno-Software den Treiber \"Paralell,32Bit,Uni\" aus."},
        {1125, "Sie haben kein Recht den Rechner neu zu booten.\nDies kann nur der Administrator.\n"},
        {1126, "Neustart kann nicht ausgel\366st werden.\n"},
        {1127, "Installation l\344uft.\n\nBitte warten (kann bis zu 30 Sekunden dauern) ..."},
        {1200, "Konnte BMP-Datei nicht finden"},
        {1201, "Datei ist keine BMP-Datei"},
        {1202, "BMP-Datei enth\344lt keinen Informationsblock, deshalb kann BMP-Datei nicht gelesen werden."},
        {1203, "BMP-Datei enth\344lt mehr als eine Bit-Plane."},
        {1204, "In der BMP-Datei ist nicht die korrekte Anzahl Bits pro Farbe definiert."},
        {1205, "BMP-Datei ist komprimiert, es werden aber nur unkomprimierte Bilder dargestellt."},
        {1206, "Die unter Windows XP oder Windows 2000 ben\366tigte DLL \"newdev.dll\" kann nicht geladen werden."},
        {1207, "Treiber konnte nicht installiert werden."},
        {3000, "This Driver integrates the Printer-Port to MultiBrenno."},
        {3002, "Exit"},
        {3004, "Installation"},
        {3005, "Driver for Printer-Port to MultiBrenno"},
        {3006, "&About Vantinst..."},
        {3134, "Installing the driver needs administrator rights.\nPlease log on as an administrator and start the program again."},
        {3103, "Attributes of file %s could not read."},
        {3104, "Attributes of file %s could not set"},
        {3109, "file %s could not copied into %s"},
        {3110, "GetVersionEx() has result false."},
        {3116, "The Printer-Port Driver is succesfully installed.\nPlease, exit all other applications the PC will restarted\nChoose in \"Configuration\" in the WinBrenno-Software the driver\n\"Paralell, 32Bit,Uni\""},
        {3125, "You have not the privilege to Restart this PC\nThis could only be done from Admin.\n"},
        {3126, "Re-Start not possible.\n"},
        {3127, "Installation in progress.\n\nPlease wait (up to 30 seconds) ..."},
        {3200, "Could not find BMP-file"},
        {3201, "File is no BMP-file"},
        {3202, "BMP-file has no information-block, BMP-file unreadable."},
        {3203, "BMP-file has more than one Bit-plane."},
        {3204, "The Color Depth of the BMP-file is not correct."},
        {3205, "BMP-file is compressed, it is only possible to load uncompressed images."},
        {3206, "The DLL \"newdev.dll\" is not loadable."},
        {3207, "Driver not installable"},
    };
    return texts;
}

TEST(CatalogueTest, EveryTextIsThereByteForByte)
{
    for (const auto& [id, text] : ExpectedTexts()) {
        const char* entry = Find(id);
        ASSERT_NE(entry, nullptr) << id;
        EXPECT_EQ(std::string(entry), text) << id;
    }
}

TEST(CatalogueTest, GermanAndEnglishSetsAreTwins)
{
    unsigned german = 0;
    for (unsigned i = 0; i < kCatalogueSize; ++i) {
        unsigned id = kCatalogue[i].id;
        bool isGerman = id >= 1000 && id <= 1207;
        EXPECT_TRUE(isGerman || (id >= 3000 && id <= 3207)) << id;
        EXPECT_NE(Find(isGerman ? id + 2000 : id - 2000), nullptr) << id << " has no twin";
        german += isGerman;
        for (unsigned j = i + 1; j < kCatalogueSize; ++j)
            EXPECT_NE(kCatalogue[j].id, id) << "twice";
    }
    // Besides the listed texts, the ones in the program's own words: the copy question,
    // the refusal of a folder the program cannot name, and the path that does not fit.
    const unsigned ownWords[] = {1131, 1132, 1133};
    EXPECT_EQ(german, ExpectedTexts().size() / 2 + std::size(ownWords));
    for (unsigned id : ownWords) {
        ASSERT_NE(Find(id), nullptr) << id;
        EXPECT_GT(std::strlen(Find(id)), 0u) << id;
        EXPECT_EQ(InsertCount(Find(id)), InsertCount(Find(id + 2000))) << id << " and its twin take the same inserts";
    }
    EXPECT_EQ(InsertCount(Find(1133)), 1) << "the path";
}

TEST(CatalogueTest, TheDetailsThatAreEasyToLose)
{
    EXPECT_EQ(std::strlen(Find(1000)), 419u);
    EXPECT_NE(std::string(Find(1000)).find("\n" + std::string(44, '_') + "\n"), std::string::npos);
    EXPECT_NE(std::string(Find(1116)).find("Rechner  wird"), std::string::npos);
    EXPECT_EQ(std::string(Find(1125)).back(), '\n');
    EXPECT_EQ(std::string(Find(1126)).back(), '\n');
    EXPECT_EQ(std::string(Find(3116)).back(), '"');
}

}  // namespace

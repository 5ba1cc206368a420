// Loads every catalogue entry from this exe's string table through the program's own
// loader and compares it byte for byte with the table it was built from.
#include "res/Catalogue.h"
#include "services/Messages.h"

#include <cstdio>
#include <cstring>

int main()
{
    int failures = 0;
    for (unsigned i = 0; i < kCatalogueSize; ++i) {
        String loaded = LoadMessage(kCatalogue[i].id);
        if (std::strcmp(loaded.c_str(), kCatalogue[i].text) != 0) {
            std::printf("MISMATCH %u: \"%s\"\n", kCatalogue[i].id, loaded.c_str());
            ++failures;
        }
    }
    std::printf("%u entries, %d mismatches\n", kCatalogueSize, failures);
    return failures ? 1 : 0;
}

// The catalogue array, expanded from the same table as the program's string table.
#include "Catalogue.h"

const CatalogueEntry kCatalogue[] = {
#define MESSAGE(id, text) {id, text},
#include "messages.def"
#undef MESSAGE
};

const unsigned kCatalogueSize = sizeof(kCatalogue) / sizeof(kCatalogue[0]);

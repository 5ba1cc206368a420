// The message catalogue as plain data, for code that needs the texts without the
// program's resources: the simulated LoadStringA of the host build and the tests.
// The program itself loads the same texts from its string table (vantinst.rc); both
// are built from messages.def.
#pragma once

struct CatalogueEntry {
    unsigned id;       // message id: German 1000..1207, English twin id + 2000
    const char* text;  // code page 1252 bytes, zero-terminated, line breaks as '\n'
};

// Every entry of the catalogue in table order (German set, then English set).
extern const CatalogueEntry kCatalogue[];
extern const unsigned kCatalogueSize;

#include "text/Catalogue.h"

#include <cstdlib>
#include <iostream>

#include "text/CatalogueSource.h"

namespace quillo::text {

namespace {

TextTable parseBuiltInCatalogue() {
    auto parsed = parseTextTable(catalogueSource());
    if (!parsed) {
        // The data was fixed at build time, so this is a broken build, not a runtime condition.
        std::cerr << "Built-in text catalogue: " << parsed.error().description() << '\n';
        std::abort();
    }
    return std::move(parsed).value();
}

}  // namespace

const TextTable& catalogue() {
    static const TextTable table = parseBuiltInCatalogue();
    return table;
}

}  // namespace quillo::text

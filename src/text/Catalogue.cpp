#include "text/Catalogue.h"

#include <cstdlib>
#include <iostream>

#include "text/CatalogueSource.h"

namespace quillo::text {

namespace {

TextTable parseBuiltIn(std::string_view source, std::string_view name) {
    auto parsed = parseTextTable(source);
    if (!parsed) {
        // The data was fixed at build time, so this is a broken build, not a runtime condition.
        std::cerr << name << ": " << parsed.error().description() << '\n';
        std::abort();
    }
    return std::move(parsed).value();
}

}  // namespace

const TextTable& catalogue() {
    static const TextTable table = parseBuiltIn(catalogueSource(), "Built-in text catalogue");
    return table;
}

const TextTable& platformWording() {
    static const TextTable table = parseBuiltIn(platformWordingSource(), "Platform wording");
    return table;
}

}  // namespace quillo::text

# Every library comes from a Debian package installed by scripts/setup-deps.sh.
find_package(Threads REQUIRED)
find_package(OpenSSL 3.0 REQUIRED)
find_package(GTest REQUIRED)

# Asio ships neither a CMake config nor a pkg-config file.
find_path(ASIO_INCLUDE_DIR asio.hpp REQUIRED)
add_library(quillo_asio INTERFACE)
target_include_directories(quillo_asio SYSTEM INTERFACE ${ASIO_INCLUDE_DIR})
target_compile_definitions(quillo_asio INTERFACE ASIO_STANDALONE ASIO_NO_DEPRECATED)
target_link_libraries(quillo_asio INTERFACE Threads::Threads)

find_package(nlohmann_json 3.11 REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(PANGOCAIRO REQUIRED IMPORTED_TARGET pangocairo cairo-pdf)
pkg_check_modules(PLIST REQUIRED IMPORTED_TARGET libplist-2.0>=2.2)
pkg_check_modules(GLIB REQUIRED IMPORTED_TARGET glib-2.0)
pkg_check_modules(GIO REQUIRED IMPORTED_TARGET gio-2.0 gio-unix-2.0)
find_package(Qt6 6.4 REQUIRED COMPONENTS Widgets Test)

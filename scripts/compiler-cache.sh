# Sourced by the build scripts. The compiler cache lives outside the clone (ccache's own folder
# in the home), so later runs on the same machine, from any clone, reuse what earlier ones
# compiled: paths below the clone are hashed relative to it, and its folder is left out of the
# hash even where debug information would name it.
export CMAKE_CXX_COMPILER_LAUNCHER="${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}"
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}"
export CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-true}"

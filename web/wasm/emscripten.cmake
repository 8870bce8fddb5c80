# The WebAssembly build's compiler settings, included by the top-level
# CMakeLists.txt before the library's layers: the library reports errors by
# throwing, so exceptions are on everywhere (Emscripten 3.1.6 turns them off
# by default), and what its C++ library lacks of C++20 comes from
# cxx_fallback.h.
add_compile_options(-fexceptions "SHELL:-include ${CMAKE_CURRENT_LIST_DIR}/cxx_fallback.h")
add_link_options(-fexceptions)
# Emscripten's JavaScript optimiser needs Debian's node-acorn, in
# /usr/share/nodejs, where a Node.js from elsewhere does not look.
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)

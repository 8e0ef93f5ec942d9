# Links every program of the tree against a C runtime that Windows 95 ships.
# gcc's driver always asks for -lmsvcrt; a copy of the chosen import library
# under that name, first on the library path, takes its place. mingw-w64's
# start-up code and libstdc++ then need three names CRTDLL.DLL lacks, which
# framework/win95/RuntimeShim.c supplies.
set(crt_import ${CMAKE_FIND_ROOT_PATH}/lib/lib${SETUP_WIN95_CRT}.a)
if(NOT EXISTS ${crt_import})
  message(FATAL_ERROR "No import library for ${SETUP_WIN95_CRT}: ${crt_import}")
endif()
set(crt_dir ${CMAKE_BINARY_DIR}/win95-crt)
configure_file(${crt_import} ${crt_dir}/libmsvcrt.a COPYONLY)
add_link_options(-L${crt_dir})
add_library(win95runtime OBJECT ${CMAKE_SOURCE_DIR}/framework/win95/RuntimeShim.c)
link_libraries(win95runtime)

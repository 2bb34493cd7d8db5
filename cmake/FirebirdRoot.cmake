# The embedded engine reads firebird.conf from its root folder. The system's root runs the
# engine in Super mode, which opens a database file for one process only; our own root runs
# it in Classic mode so that the program and the command-line tool can share the file.
# The root holds our firebird.conf and links to the system's plugins, messages and charsets.
find_path(FB_SYSTEM_ROOT plugins/libEngine12.so
  PATHS /usr/lib/x86_64-linux-gnu/firebird/3.0 /usr/lib/firebird/3.0 /opt/firebird
  NO_DEFAULT_PATH)
if(NOT FB_SYSTEM_ROOT)
  message(FATAL_ERROR "Firebird 3 embedded engine not found (package firebird3.0-server-core)")
endif()
set(SROKO_FB_ROOT ${SROKO_PROGRAM_DIR}/firebird)
file(MAKE_DIRECTORY ${SROKO_FB_ROOT})
file(WRITE ${SROKO_FB_ROOT}/firebird.conf
"# Written by the build: the embedded engine of Sroko.\n\
ServerMode = Classic\n\
Providers = Engine12\n\
UdfAccess = None\n")
foreach(entry plugins firebird.msg plugins.conf UDF)
  if(EXISTS ${FB_SYSTEM_ROOT}/${entry} AND NOT EXISTS ${SROKO_FB_ROOT}/${entry})
    file(CREATE_LINK ${FB_SYSTEM_ROOT}/${entry} ${SROKO_FB_ROOT}/${entry} SYMBOLIC)
  endif()
endforeach()
# The charset module must sit in a real folder of the root: the engine refuses a linked one.
file(GLOB FB_INTL_FILES ${FB_SYSTEM_ROOT}/intl/*)
file(COPY ${FB_INTL_FILES} DESTINATION ${SROKO_FB_ROOT}/intl FOLLOW_SYMLINK_CHAIN)
# The engine finds its root beside the running executable; the tests and benchmarks live in
# folders of their own and share the program's root.
foreach(folder tests bench)
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/${folder})
  if(NOT EXISTS ${CMAKE_BINARY_DIR}/${folder}/firebird)
    file(CREATE_LINK ../firebird ${CMAKE_BINARY_DIR}/${folder}/firebird SYMBOLIC)
  endif()
endforeach()

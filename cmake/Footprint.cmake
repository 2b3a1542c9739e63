# The programs that ride on the first game disk: Setup.exe (with the uninstaller inside it) and
# UNLHA32.DLL. Every byte they take is one less for the game, so they are built lean, and each
# link writes a map (build/win32/map/<name>.map) for scripts/footprint. Included after the
# programs' folders.
set(LUM_MAP_DIR ${CMAKE_BINARY_DIR}/map)
file(MAKE_DIRECTORY ${LUM_MAP_DIR})

# The runtime's error paths without what they drag along (see the source).
add_library(lean_runtime OBJECT ${PROJECT_SOURCE_DIR}/framework/LeanRuntime.cpp)
foreach(target Setup zevizorezu unlha32)
  target_link_libraries(${target} PRIVATE lean_runtime)
  target_link_options(${target} PRIVATE
    "-Wl,-Map=${LUM_MAP_DIR}/$<TARGET_FILE_BASE_NAME:${target}>.map")
endforeach()

# Code that runs once in an installation is compiled for size.
foreach(target lean_runtime pathrules shellpaths framework controls installer_units Setup uninstaller_units
               zevizorezu unlha32)
  target_compile_options(${target} PRIVATE -Os)
endforeach()

# Setup.exe and zevizorezu.exe run one thread: they link the runtime of the toolchain's win32
# thread model, which comes without the POSIX threads layer (some 30 KB in each). Their code is
# compiled with the posix variant's headers, which differ only in what threads and clocks offer,
# and these programs use neither; a std::thread in them would fail to link. UNLHA32.DLL starts a
# writer thread and keeps the posix runtime.
string(REPLACE "-posix" "-win32" win32_compiler ${CMAKE_CXX_COMPILER})
execute_process(COMMAND ${win32_compiler} -print-libgcc-file-name
  OUTPUT_VARIABLE win32_libgcc OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
get_filename_component(win32_runtime ${win32_libgcc} DIRECTORY)
foreach(target Setup zevizorezu)
  target_link_options(${target} PRIVATE -B${win32_runtime}/)
endforeach()

# In C++ the toolchain formats printf-style with its own C99 formatter, some 25 KB with its
# floating-point conversion. Setup.exe and UNLHA32.DLL format only strings and integers (%s, %d,
# %x with flags, width and precision), which the system's msvcrt.dll formats alike: their
# vsnprintf is the toolchain's C99-conforming wrapper over msvcrt.dll (same return value, always
# terminated). Length modifiers such as %zu or %lld are not for these programs.
foreach(target Setup unlha32)
  target_link_options(${target} PRIVATE -Wl,--defsym,___mingw_vsnprintf=___ms_vsnprintf)
endforeach()

# UNLHA32.DLL: the codec's decoders and checksums keep the build's speed; the rest of what the
# library runs (its command line, headers, paths, the job, files) runs once per archive entry
# and is compiled for size. The codec is one library for all its fronts, so unlha.exe and
# mkdisks.exe of this tree get the same code.
get_target_property(codec_dir unlha_codec SOURCE_DIR)
get_target_property(codec_sources unlha_codec SOURCES)
foreach(source ${codec_sources})
  get_filename_component(name ${source} NAME_WE)
  if(name MATCHES "^(ArchiveReader|ByteStream|CommandLine|EntryPath|Header|Input|JoinedInput|Job|Methods|Status|Timestamp|Win32FileSystem)$")
    get_filename_component(path ${source} ABSOLUTE BASE_DIR ${codec_dir})
    set_source_files_properties(${path} TARGET_DIRECTORY unlha_codec PROPERTIES COMPILE_OPTIONS -Os)
  endif()
endforeach()

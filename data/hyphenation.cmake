# The hyphenation pattern tables "german0.hyp" and "english0.hyp", converted at build time by our
# converter (tools/hyphconv) from hyphenation patterns Debian ships.
#
# German: TeX's single-level patterns for the reformed spelling (hyph-de-1996). The libhyphen
# file of hyphen-de is two-level: its syllable level relies on the compound level having cut the
# word first and on its own, single-level use splits compounds into letters ("Hand-a-r-beit").
# English: libhyphen's en_US patterns.
# The sources are fixed, not cached: the German source once was another file.
set(PAGINOR_HYPH_DE_SOURCE
    /usr/share/texlive/texmf-dist/tex/generic/hyph-utf8/patterns/txt/hyph-de-1996.pat.txt)
set(PAGINOR_HYPH_EN_SOURCE /usr/share/hyphen/hyph_en_US.dic)
if(NOT EXISTS ${PAGINOR_HYPH_DE_SOURCE})
  message(FATAL_ERROR "German hyphenation patterns not found: ${PAGINOR_HYPH_DE_SOURCE}. "
    "Install the Debian package texlive-lang-german.")
endif()
if(NOT EXISTS ${PAGINOR_HYPH_EN_SOURCE})
  message(FATAL_ERROR "English hyphenation patterns not found: ${PAGINOR_HYPH_EN_SOURCE}. "
    "Install the Debian package hyphen-en-us.")
endif()

add_executable(hyphconv ${CMAKE_SOURCE_DIR}/tools/hyphconv/hyphconv.cpp
  ${CMAKE_SOURCE_DIR}/platform/cp1252.cpp)
target_include_directories(hyphconv PRIVATE ${CMAKE_SOURCE_DIR})

# Smallest fragments: German 2 and 2 (TeX's and typesetting's rule); English takes its file's
# LEFTHYPHENMIN 2 / RIGHTHYPHENMIN 3.
foreach(lang german english)
  if(lang STREQUAL german)
    set(src ${PAGINOR_HYPH_DE_SOURCE})
    set(lengths --left 2 --right 2)
  else()
    set(src ${PAGINOR_HYPH_EN_SOURCE})
    set(lengths)
  endif()
  set(out ${PAGINOR_BUILD_DATA_DIR}/${lang}0.hyp)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PAGINOR_BUILD_DATA_DIR}
    COMMAND hyphconv ${lengths} ${src} ${out}
    DEPENDS hyphconv ${src}
    COMMENT "Generating hyphenation patterns ${lang}0.hyp"
    VERBATIM)
  list(APPEND PAGINOR_GENERATED_DATA ${out})
  install(FILES ${out} DESTINATION ${CMAKE_INSTALL_DATADIR}/paginor)
endforeach()

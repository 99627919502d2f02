# The licence and the third-party notices, at the top of the release ZIP beside Setup.exe.
# THIRD-PARTY-NOTICES.txt names every piece of a runtime that the static link puts into the
# programs of the ZIP; product.notices holds it to their link maps.
install(FILES LICENSE THIRD-PARTY-NOTICES.txt DESTINATION .)

# The programs of the ZIP that link the MinGW-w64 and GCC runtimes statically; a program added
# to the ZIP belongs here too, so that its map is checked.
set(SETUP_NOTICE_PROGRAMS Setup setup-check)

# Each program's link map beside it. The map is written next to the image and changes none of
# its bytes (compared on both widths), so the release stays reproducible.
set(notice_maps "")
foreach(program IN LISTS SETUP_NOTICE_PROGRAMS)
  target_link_options(${program} PRIVATE "LINKER:-Map=${CMAKE_BINARY_DIR}/${program}.map")
  list(APPEND notice_maps ${CMAKE_BINARY_DIR}/${program}.map)
endforeach()
add_test(NAME product.notices
  COMMAND ${PROJECT_SOURCE_DIR}/tests/product/check-notices.sh
          ${PROJECT_SOURCE_DIR}/THIRD-PARTY-NOTICES.txt ${notice_maps})
set_tests_properties(product.notices PROPERTIES LABELS "e2e;product")

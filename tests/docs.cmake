# The README and the pages under docs/: every relative link and picture resolves. Needs no build.
add_test(NAME docs_links COMMAND python3 ${CMAKE_CURRENT_LIST_DIR}/check_links.py ${CMAKE_SOURCE_DIR})
set_tests_properties(docs_links PROPERTIES LABELS docs TIMEOUT 60)

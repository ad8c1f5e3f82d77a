# bench-reader: the ASC reader's speed beside a plain character scan of the same file.
add_executable(bench-reader ${CMAKE_CURRENT_LIST_DIR}/bench_reader.cpp)
target_link_libraries(bench-reader PRIVATE crane_mesh OpenGL::GL)

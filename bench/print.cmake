# Capture and archive of one printed page: build/bench/bench_print [rounds]
add_executable(bench_print bench_print.cpp)
target_link_libraries(bench_print PRIVATE vornex_forms)

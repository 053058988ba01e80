# What the player waits for through the real windows offscreen: a click on the
# diplomacy map, "Конец хода" and loading a game, each beside its floor.
marchfell_bench(ui_bench ${CMAKE_CURRENT_SOURCE_DIR}/UiBench.cpp)
target_link_libraries(ui_bench PRIVATE marchfell_ui)
target_compile_definitions(ui_bench PRIVATE MARCHFELL_BENCH_MAPS="${CMAKE_SOURCE_DIR}/assets/maps")

# The save record beside one copy of as many bytes.
marchfell_bench(save_bench ${CMAKE_CURRENT_SOURCE_DIR}/SaveBench.cpp)

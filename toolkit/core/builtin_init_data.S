// The initialisation data, linked into the program as one constant block.
// TRACEMILL_INIT_DATA_FILE names the committed blob (set by CMake).
        .section .rodata
        .balign 16
        .global tracemill_init_data_begin
        .hidden tracemill_init_data_begin
tracemill_init_data_begin:
        .incbin TRACEMILL_INIT_DATA_FILE
        .global tracemill_init_data_end
        .hidden tracemill_init_data_end
tracemill_init_data_end:
        .byte 0
        .section .note.GNU-stack,"",@progbits

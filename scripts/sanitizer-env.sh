# shellcheck shell=bash
# Sourced by the sanitizer and fuzz scripts: how the sanitizer runtimes report.
# Exit codes of their own (86 AddressSanitizer/LeakSanitizer, 87 UndefinedBehaviorSanitizer), so
# that a sanitizer report inside a program can never pass for one of the program's documented
# exit codes in an end-to-end test. Leaks count as errors.
export ASAN_OPTIONS="exitcode=86:detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export UBSAN_OPTIONS="exitcode=87:print_stacktrace=1:halt_on_error=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"

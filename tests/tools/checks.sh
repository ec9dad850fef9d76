# shellcheck shell=bash
# Sourced by the shell tests that check many things in one run: each check
# counts, a failed one says what it expected, and the run ends with the
# counts and fails when any check did.

passed=0
failed=0

check() {  # check NAME EXPECTED ACTUAL
  if [[ $2 == "$3" ]]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    printf 'FAIL: %s\n  expected: %q\n  actual:   %q\n' "$1" "$2" "$3" >&2
  fi
}

checks_passed() {  # the counts; true when no check failed
  echo "$passed passed, $failed failed"
  [[ $failed -eq 0 ]]
}

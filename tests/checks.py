"""A tally of named checks for the test scripts: each prints ok or FAIL with
what was expected, and the summary line is "N passed, N failed"."""


class Checks:
    def __init__(self):
        self.passed = 0
        self.failed = 0

    def __call__(self, description, expected, actual):
        if expected == actual:
            self.passed += 1
            print(f"ok: {description}")
        else:
            self.failed += 1
            print(f"FAIL: {description}\n  expected: {expected!r}\n  actual:   {actual!r}")

    def summary(self):
        """Prints the closing line; returns the exit code."""
        print(f"{self.passed} passed, {self.failed} failed")
        return 1 if self.failed else 0

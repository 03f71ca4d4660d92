"""Lists the end-to-end tests for CMake, from the test files themselves: every
test method of every test case in tests/e2e/*_test.py, one per line, as

    FILE|Class.test_name|SANITIZE|TIMEOUT|SERIAL|LOCK|FIXTURES

A test added to a file is registered with ctest at the next configure; there
is no list to keep. The fields come from attributes of the test method or
else of its class (see harness.GameTestCase and harness.sanitize): SANITIZE
(1 when it runs in the sanitizer build too), TIMEOUT (seconds, times the
build's time factor), SERIAL (1 when it must run alone), LOCK (a resource it
takes one at a time, or empty) and FIXTURES (what must be made first,
separated by ';', or empty).

Run:  list_tests.py [FOLDER]
"""

import glob
import importlib
import os
import sys
import unittest

# A test's waits each give up after harness.WAIT_SECONDS: a minute leaves
# room for a few of them on a busy machine.
DEFAULTS = {"SANITIZE": False, "TIMEOUT": 60, "SERIAL": False, "LOCK": "", "FIXTURES": ()}


def load(path):
    """The test file as a module: its folder is on sys.path."""
    return importlib.import_module(os.path.splitext(os.path.basename(path))[0])


def listing(folder):
    sys.path.insert(0, folder)
    lines = []
    for path in sorted(glob.glob(os.path.join(folder, "*_test.py"))):
        module = load(path)
        loader = unittest.defaultTestLoader
        for case in sorted(vars(module).values(), key=lambda value: str(value)):
            if not (isinstance(case, type) and issubclass(case, unittest.TestCase)
                    and case.__module__ == module.__name__):
                continue
            for test in loader.getTestCaseNames(case):
                method = getattr(case, test)
                fields = {key: getattr(method, key, getattr(case, key, default))
                          for key, default in DEFAULTS.items()}
                lines.append("|".join([
                    os.path.basename(path), f"{case.__name__}.{test}",
                    "1" if fields["SANITIZE"] else "0", str(int(fields["TIMEOUT"])),
                    "1" if fields["SERIAL"] else "0", fields["LOCK"],
                    ";".join(fields["FIXTURES"])]))
    return lines


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    print("\n".join(listing(os.path.abspath(sys.argv[1]) if len(sys.argv) > 1 else here)))

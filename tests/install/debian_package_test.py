#!/usr/bin/env python3
"""Builds the Debian packages from the build tree and uses them as a user would.

Usage: debian_package_test.py BUILD_DIR VERSION

The packages (rds-toolkit, librdsuecp<SO>, librdsuecp-dev) are made with CPack into a scratch
directory, never installed system-wide. The programs' dependencies must name libsndfile, the
development package must need its library's exact version, lintian must find nothing to warn
about, and unpacked into a scratch root with dpkg -x, brovik must tell the version and every
manual page must format.
"""
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile


def run(command, **kwargs):
    result = subprocess.run(command, capture_output=True, text=True, timeout=240, **kwargs)
    if result.returncode != 0:
        raise RuntimeError(f"{' '.join(command)}: exit {result.returncode}\n"
                           f"{result.stdout}{result.stderr}")
    return result.stdout


def main():
    build_dir, version = sys.argv[1], sys.argv[2]
    missing = [tool for tool in ("cpack", "dpkg-deb", "man", "lintian") if not shutil.which(tool)]
    if missing:
        print(f"missing {', '.join(missing)}: run scripts/install-deps.sh --test", file=sys.stderr)
        return 1
    failures = []
    with tempfile.TemporaryDirectory(prefix="rds-deb-") as scratch:
        run(["cpack", "-G", "DEB", "-B", scratch,
             "--config", os.path.join(build_dir, "CPackConfig.cmake")])
        packages = {}
        for path in glob.glob(os.path.join(scratch, "*.deb")):
            packages[run(["dpkg-deb", "-f", path, "Package"]).strip()] = path
        libraries = [name for name in packages if re.fullmatch(r"librdsuecp[0-9.]+", name)]
        if len(packages) != 3 or "rds-toolkit" not in packages or \
                "librdsuecp-dev" not in packages or len(libraries) != 1:
            print(f"expected rds-toolkit, librdsuecp<SO> and librdsuecp-dev, CPack made "
                  f"{sorted(packages)}", file=sys.stderr)
            return 1

        depends = run(["dpkg-deb", "-f", packages["rds-toolkit"], "Depends"])
        if "libsndfile1" not in depends:
            failures.append(f"rds-toolkit's Depends lacks libsndfile1: {depends.strip()}")
        depends = run(["dpkg-deb", "-f", packages["librdsuecp-dev"], "Depends"])
        if f"{libraries[0]} (= {version})" not in depends:
            failures.append(f"librdsuecp-dev's Depends lacks {libraries[0]} (= {version}): "
                            f"{depends.strip()}")
        # Warnings and errors fail; the informational tags left are listed in docs/install.md.
        lint = subprocess.run(["lintian", "--fail-on", "error,warning", *packages.values()],
                              capture_output=True, text=True, timeout=240)
        if lint.returncode != 0:
            failures.append("lintian:\n" + lint.stdout + lint.stderr)

        root = os.path.join(scratch, "root")
        for path in packages.values():
            run(["dpkg", "-x", path, root])
        brovik = os.path.join(root, "usr/bin/brovik")
        got = run([brovik, "--version"]).strip()
        if got != f"brovik {version}":
            failures.append(f"brovik --version printed '{got}', wanted 'brovik {version}'")

        pages = sorted(glob.glob(os.path.join(root, "usr/share/man/man*/*.gz")))
        if len(pages) != 6:
            failures.append(f"expected 6 manual pages, the packages have {len(pages)}")
        for page in pages:
            name = os.path.basename(page)[: -len(".x.gz")]
            formatted = subprocess.run(["man", "--warnings", "-l", page], capture_output=True,
                                       text=True, timeout=60,
                                       env=dict(os.environ, MANWIDTH="80", LC_ALL="C.UTF-8"))
            if formatted.returncode != 0 or formatted.stderr:
                failures.append(f"man -l {name}: exit {formatted.returncode}\n{formatted.stderr}")
            elif name.upper() not in formatted.stdout or "NAME" not in formatted.stdout:
                failures.append(f"man -l {name}: no heading in\n{formatted.stdout[:300]}")

    for failure in failures:
        print(failure, file=sys.stderr)
    if failures:
        return 1
    print(f"{', '.join(sorted(packages))}: lintian clean, brovik {version}, {len(pages)} pages")
    return 0


if __name__ == "__main__":
    sys.exit(main())

"""Builds the compiled module tavora._core with the project's CMake (Ninja when present)
for the interpreter that runs pip; the version is the CMake project's."""

import os
import re
import shutil
import subprocess
import sys
from pathlib import Path

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = Path(__file__).resolve().parent


def project_version():
    text = (ROOT / "CMakeLists.txt").read_text(encoding="utf-8")
    return re.search(r"project\(Tavora VERSION ([0-9.]+)", text).group(1)


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        package_dir = Path(self.get_ext_fullpath(ext.name)).resolve().parent
        build_dir = Path(self.build_temp).resolve() / "cmake"
        configure = [
            "cmake", "-S", str(ROOT), "-B", str(build_dir),
            "-DCMAKE_BUILD_TYPE=Release",
            "-DTAVORA_BUILD_TESTS=OFF", "-DTAVORA_BUILD_GUI=OFF", "-DTAVORA_BUILD_BENCH=OFF",
            "-DTAVORA_BUILD_PYTHON=ON",
            f"-DPython_EXECUTABLE={sys.executable}",
            f"-DTAVORA_PYTHON_OUTPUT_DIR={package_dir}",
        ]
        if shutil.which("ninja") and not (build_dir / "CMakeCache.txt").exists():
            configure += ["-G", "Ninja"]
        subprocess.run(configure, check=True)
        jobs = os.environ.get("CMAKE_BUILD_PARALLEL_LEVEL", str(os.cpu_count() or 2))
        subprocess.run(["cmake", "--build", str(build_dir), "--target", "tavora_python",
                        "--config", "Release", "-j", jobs], check=True)


setup(
    version=project_version(),
    ext_modules=[Extension("tavora._core", sources=[])],
    cmdclass={"build_ext": CMakeBuild},
    # Beside the CMake build folder of `make`, not in it.
    options={"build": {"build_base": "build/pip"}},
)

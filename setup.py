# The Python module `egypte` built by the project's own CMake (the library
# and the module, nothing else), for the interpreter that runs pip, with its
# type stub beside it.
import os
import shutil
import subprocess
import sys
from pathlib import Path

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

RACINE = Path(__file__).resolve().parent


class ConstruitParCMake(build_ext):
    def build_extension(self, ext):
        construction = Path(self.build_temp).resolve() / "cmake"
        subprocess.run(
            ["cmake", "-S", str(RACINE), "-B", str(construction), "-DCMAKE_BUILD_TYPE=Release",
             "-DEGYPTE_TESTS=OFF", "-DEGYPTE_BENCH=OFF", "-DEGYPTE_PYTHON=ON",
             f"-DPython_EXECUTABLE={sys.executable}"],
            check=True)
        subprocess.run(["cmake", "--build", str(construction), "--target", "egypte_python", "-j",
                        os.environ.get("EGYPTE_JOBS", "2")], check=True)
        modules = sorted((construction / "python").glob("egypte*.so"))
        if not modules:
            raise RuntimeError("CMake n'a pas construit le module egypte")
        cible = Path(self.get_ext_fullpath(ext.name))
        cible.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(modules[0], cible)
        shutil.copyfile(RACINE / "python" / "egypte.pyi", cible.parent / "egypte.pyi")


setup(ext_modules=[Extension("egypte", sources=[])], cmdclass={"build_ext": ConstruitParCMake})

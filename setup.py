# The Python package `egypte` (python/egypte) with its compiled part
# egypte._egypte built by the project's own CMake (the library and the
# extension, nothing else), for the interpreter that runs pip. Everything is
# built out of the checkout, in a temporary directory removed when setup.py
# ends: pip installs from a checkout without writing into it.
import atexit
import os
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

RACINE = Path(__file__).resolve().parent
TEMPORAIRE = tempfile.mkdtemp(prefix="egypte-setup-")
atexit.register(shutil.rmtree, TEMPORAIRE, True)


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
        compiles = sorted((construction / "python" / "egypte").glob("_egypte*.so"))
        if not compiles:
            raise RuntimeError("CMake n'a pas construit l'extension egypte._egypte")
        cible = Path(self.get_ext_fullpath(ext.name))
        cible.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(compiles[0], cible)


setup(
    packages=["egypte"],
    package_dir={"": "python"},
    package_data={"egypte": ["__init__.pyi", "py.typed"]},
    ext_modules=[Extension("egypte._egypte", sources=[])],
    cmdclass={"build_ext": ConstruitParCMake},
    # build/ (and the wheel's staging under it) and egypte.egg-info would
    # otherwise land in the checkout.
    options={"build": {"build_base": os.path.join(TEMPORAIRE, "build")},
             "egg_info": {"egg_base": TEMPORAIRE}},
)

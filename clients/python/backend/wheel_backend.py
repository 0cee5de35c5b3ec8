"""Builds the package's wheel from this folder alone (see pyproject.toml): the package's files,
its metadata and the record of both, as a wheel holds them."""
import base64
import hashlib
import os
import tomllib
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def _project():
    with open(os.path.join(ROOT, "pyproject.toml"), "rb") as file:
        return tomllib.load(file)["project"]


def _metadata(project):
    lines = ["Metadata-Version: 2.1", f"Name: {project['name']}", f"Version: {project['version']}",
             f"Summary: {project['description']}",
             f"Requires-Python: {project['requires-python']}"]
    lines += [f"Requires-Dist: {requirement}" for requirement in project.get("dependencies", [])]
    return "\n".join(lines) + "\n"


def _digest(data):
    hashed = base64.urlsafe_b64encode(hashlib.sha256(data).digest()).rstrip(b"=")
    return f"sha256={hashed.decode()},{len(data)}"


def _dist_info(project):
    return f"{project['name']}-{project['version']}.dist-info"


def _package_files():
    package = os.path.join(ROOT, "zelprint")
    for name in sorted(os.listdir(package)):
        if name.endswith(".py"):
            yield f"zelprint/{name}", os.path.join(package, name)


def get_requires_for_build_wheel(config_settings=None):
    return []


def prepare_metadata_for_build_wheel(metadata_directory, config_settings=None):
    project = _project()
    folder = os.path.join(metadata_directory, _dist_info(project))
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "METADATA"), "w", encoding="utf-8") as file:
        file.write(_metadata(project))
    return _dist_info(project)


def build_wheel(wheel_directory, config_settings=None, metadata_directory=None):
    project = _project()
    info = _dist_info(project)
    wheel = f"{project['name']}-{project['version']}-py3-none-any.whl"
    entries = [(name, open(path, "rb").read()) for name, path in _package_files()]
    entries.append((f"{info}/METADATA", _metadata(project).encode()))
    entries.append((f"{info}/WHEEL", b"Wheel-Version: 1.0\nGenerator: wheel_backend\n"
                                     b"Root-Is-Purelib: true\nTag: py3-none-any\n"))
    record = "".join(f"{name},{_digest(data)}\n" for name, data in entries) + f"{info}/RECORD,,\n"
    entries.append((f"{info}/RECORD", record.encode()))
    with zipfile.ZipFile(os.path.join(wheel_directory, wheel), "w", zipfile.ZIP_DEFLATED) as out:
        for name, data in entries:
            out.writestr(name, data)
    return wheel

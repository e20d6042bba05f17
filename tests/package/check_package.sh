#!/usr/bin/env bash
# Installs the project into a temporary prefix, builds the tiny host against
# the installed CMake package, runs it, and checks the library's exports.
set -euo pipefail
build_dir=$1
source_dir=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --install "$build_dir" --prefix "$work/prefix" >/dev/null
if find "$work/prefix/include" -path '*/platform/*' -o -path '*/internal/*' | grep .; then
  echo "headers a host never includes were installed"; exit 1
fi
cmake -S "$source_dir/tests/package/host" -B "$work/host" -G Ninja -DCMAKE_PREFIX_PATH="$work/prefix" >/dev/null
cmake --build "$work/host" >/dev/null

mkdir -p "$work/data"
printf 'Scenes:\n  Scene0: {name: only, file: only.yaml}\n' >"$work/data/list.yaml"
printf 'Scene:\n  show_mouse_cursor: 0\n' >"$work/data/only.yaml"
LD_LIBRARY_PATH="$work/prefix/lib:$work/prefix/lib/$(gcc -print-multiarch 2>/dev/null || true)" \
  "$work/host/tiny_host" "$work/data"
echo "tiny host ran against the installed package"

library=$(find "$work/prefix" -name 'libsceneengine.so' | head -n 1)
exports=$(nm -DC --defined-only "$library")
for name in 'init(' 'load_scenes(' 'get_scene(' 'process_scene(' 'set_next_scene(' 'release_scenes(' 'delete_scene(' \
            'Scene::load_scene(' 'SceneObject::load(' 'Image::draw(' 'Text::draw(' 'Timer::slot__on_new_cycle('; do
  grep -qF "$name" <<<"$exports" || { echo "libsceneengine.so does not export $name"; exit 1; }
done
if nm -DC "$library" | grep -iE 'yaml_|SDL_|FT_|hb_|stbi_|spng_|tj[A-Z0-9]' ; then
  echo "libsceneengine.so refers to a symbol of YAML, SDL, FreeType, HarfBuzz or a decoder"
  exit 1
fi
echo "libsceneengine.so exports its surface and nothing of the platform's libraries"

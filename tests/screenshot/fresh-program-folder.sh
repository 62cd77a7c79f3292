# Sourced by the scripts that start the real program: checks the tools they
# name and makes $folder, a fresh program folder with an empty notes database
# (removed on exit), from the built program in $program_dir.
# usage: require_tools TOOL...; make_fresh_folder
require_tools() {
  for tool in "$@"; do
    command -v "$tool" >/dev/null || { echo "missing $tool"; exit 1; }
  done
}
make_fresh_folder() {
  folder=$(mktemp -d)
  trap 'rm -rf "$folder"' EXIT
  cp "$program_dir/tavi" "$folder/"
  cp -r "$program_dir/assets" "$folder/"
  mkdir -p "$folder/Data" "$folder/source/DeskTopBG"
  "$program_dir/tavi-cli" create-database "$folder/Data/UserData.db"
}

# The simulated host's rule for emptying folders (simhost/include/simhost/owned_folder.h), for
# the scripts: a folder is emptied only when it does not exist yet, is empty, or carries the
# marker left in the folders these tools make. Sourced, not run.
owned_folder_marker=.made-by-tarvosk-sim

# fresh_owned_folder DIR: DIR emptied (or made) and marked; a folder of anyone else's is left
# as it is, and the call fails naming it.
fresh_owned_folder() {
  local dir=$1
  if [ -e "$dir" ] && { [ ! -d "$dir" ] ||
    { [ -n "$(ls -A "$dir")" ] && [ ! -f "$dir/$owned_folder_marker" ]; }; }; then
    echo "$(basename "$0"): not emptying $(realpath -m "$dir"): it was not made by these tools" \
      "(delete it by hand, or choose another folder)" >&2
    return 1
  fi
  rm -rf --one-file-system "$dir"
  mkdir -p "$dir"
  : >"$dir/$owned_folder_marker"
}

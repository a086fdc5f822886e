# Sourced by the project's scripts. installMissing [APT-OPTION...] PACKAGE...
# installs those of the Debian packages that are missing (as root, apt-get),
# passing the leading options to apt-get install. nodejs and npm count as
# there when their command works, wherever it came from.
installMissing() {
  local options=() missing=() p
  while [ $# -gt 0 ] && [ "${1#-}" != "$1" ]; do options+=("$1"); shift; done
  for p in "$@"; do
    case "$p" in nodejs|npm) command -v "${p/nodejs/node}" >/dev/null && continue ;; esac
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "== installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq "${options[@]}" "${missing[@]}"
  fi
}

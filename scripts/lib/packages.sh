# Sourced by the set-up scripts: install_missing PACKAGE... installs, with apt-get, the Debian packages
# that are not installed yet (as root, else through sudo); nothing happens when all are present.
install_missing() {
  local missing=() p sudo=""
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# ensure_debian_sources: makes sure apt knows Debian's source packages (a deb-src entry for the Debian
# suites the machine installs from), so that `apt-get source` works; the lists are fetched again when
# the entry is new.
ensure_debian_sources() {
  local sudo="" codename
  if grep -rqs '^\(Types:.*deb-src\|deb-src \)' /etc/apt/sources.list /etc/apt/sources.list.d/; then return 0; fi
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:?}")
  printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: %s %s-updates\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
    "$codename" "$codename" | $sudo tee /etc/apt/sources.list.d/debian-src.sources >/dev/null
  $sudo apt-get update -qq
}

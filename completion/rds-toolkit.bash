# Bash completion for the RDS toolkit's programs: tamsel, brovik, rds-encoder-sim, rds-demod and
# rds-capture-gen. The options come from the program's own --help (for tamsel's commands, from
# "tamsel COMMAND --help"), so they stay in step with the installed version; anything else
# completes as a file name.

_rds_toolkit_options() {
  "$@" --help 2>/dev/null | grep -oE '(^|[[:space:][(|])--?[A-Za-z][A-Za-z0-9-]*' |
    sed -E 's/^[[:space:][(|]*//' | sort -u
}

_rds_toolkit() {
  local current=${COMP_WORDS[COMP_CWORD]}
  local command=()
  # A first word that is no option names a command (tamsel send, run, feed, get).
  if [[ $1 == tamsel ]] && ((COMP_CWORD > 1)) && [[ ${COMP_WORDS[1]} != -* ]]; then
    command=("${COMP_WORDS[1]}")
  fi
  if [[ $current == -* ]]; then
    local options
    options=$(_rds_toolkit_options "$1" "${command[@]}")
    mapfile -t COMPREPLY < <(compgen -W "$options" -- "$current")
  elif ((COMP_CWORD == 1)) && [[ $1 == tamsel ]]; then
    mapfile -t COMPREPLY < <(compgen -W "send run feed get" -- "$current")
    mapfile -t -O "${#COMPREPLY[@]}" COMPREPLY < <(compgen -f -- "$current")
  else
    mapfile -t COMPREPLY < <(compgen -f -- "$current")
  fi
}

complete -o filenames -F _rds_toolkit tamsel brovik rds-encoder-sim rds-demod rds-capture-gen

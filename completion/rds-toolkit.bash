# Bash completion for the RDS toolkit's programs: tamsel, brovik, rds-encoder-sim, rds-demod and
# rds-capture-gen. The options come from the program's own --help, so they stay in step with
# the installed version; anything else completes as a file name.

_rds_toolkit_options() {
  "$1" --help 2>/dev/null | grep -oE '(^|[[:space:][(|])--?[A-Za-z][A-Za-z0-9-]*' |
    sed -E 's/^[[:space:][(|]*//' | sort -u
}

_rds_toolkit() {
  local current=${COMP_WORDS[COMP_CWORD]}
  if [[ $current == -* ]]; then
    local options
    options=$(_rds_toolkit_options "$1")
    mapfile -t COMPREPLY < <(compgen -W "$options" -- "$current")
  else
    mapfile -t COMPREPLY < <(compgen -f -- "$current")
  fi
}

complete -o filenames -F _rds_toolkit tamsel brovik rds-encoder-sim rds-demod rds-capture-gen

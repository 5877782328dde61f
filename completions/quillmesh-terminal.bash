# bash completion for quillmesh-terminal: its options, then file paths for the ones that take one.
_quillmesh_terminal() {
  local current=${COMP_WORDS[COMP_CWORD]}
  local previous=${COMP_WORDS[COMP_CWORD-1]}
  case $previous in
    --session | --requests | --check-session)
      compopt -o filenames 2>/dev/null
      mapfile -t COMPREPLY < <(compgen -f -- "$current")
      return
      ;;
  esac
  if [[ $current == -* ]]; then
    mapfile -t COMPREPLY < <(compgen -W '--session --requests --check-session --help -h' -- "$current")
  fi
}
complete -F _quillmesh_terminal quillmesh-terminal

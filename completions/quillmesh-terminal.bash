# bash completion for quillmesh-terminal: its options, file paths for the ones that take one, view
# names after --print and the choices of --color.
_quillmesh_terminal() {
  local current=${COMP_WORDS[COMP_CWORD]}
  local previous=${COMP_WORDS[COMP_CWORD-1]}
  case $previous in
    --session | --requests | --check-session)
      compopt -o filenames 2>/dev/null
      mapfile -t COMPREPLY < <(compgen -f -- "$current")
      return
      ;;
    --print)
      mapfile -t COMPREPLY < <(compgen -W 'health graph topics nodes tf changes results playback capture project' -- "$current")
      return
      ;;
    --color)
      mapfile -t COMPREPLY < <(compgen -W 'always never' -- "$current")
      return
      ;;
    --select | --width)
      return
      ;;
  esac
  if [[ $current == -* ]]; then
    mapfile -t COMPREPLY < <(compgen -W '--session --requests --check-session --print --select --width --color --help -h' -- "$current")
  fi
}
complete -F _quillmesh_terminal quillmesh-terminal

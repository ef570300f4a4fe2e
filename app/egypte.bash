# bash completion for egypte: its options, the values of --parite, file names
# after --journal and --sortie; nothing after an option that takes a number.
# Installed as share/bash-completion/completions/egypte; or: source app/egypte.bash

_egypte_options='--repetitions --parite --min-x1 --max-xn --min-n --max-n --longueur
--sans-un --debut --premieres --une-sur --compter --meilleur --json --journal
--sortie --fils --estimer --duree --balayer --moins-un --premiers --numerateur
--au-plus --aide --help --version'

_egypte()
{
    local cur=${COMP_WORDS[COMP_CWORD]} prev=
    [ "$COMP_CWORD" -gt 0 ] && prev=${COMP_WORDS[COMP_CWORD - 1]}
    local IFS=$'\n'
    COMPREPLY=()
    case $prev in
        --parite)
            COMPREPLY=($(compgen -W $'paire\nimpaire\nindifferente' -- "$cur"))
            return 0 ;;
        --journal|--sortie)
            compopt -o filenames 2>/dev/null
            COMPREPLY=($(compgen -f -- "$cur"))
            return 0 ;;
        --min-x1|--max-xn|--min-n|--max-n|--longueur|--debut|--premieres|--une-sur|--fils|--duree|--balayer|--numerateur|--au-plus)
            return 0 ;;
    esac
    if [[ $cur == -* ]]; then
        IFS=$' \t\n'
        COMPREPLY=($(compgen -W "$_egypte_options" -- "$cur"))
    fi
    return 0
}
complete -F _egypte egypte

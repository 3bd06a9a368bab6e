! Reads the cases named in a plan with gfortran's list-directed READ and prints what each reading
! gave, in the same form as cpp_reader.cpp:
!   N <16 hex digits per double, or NAN>     (read(u,*) x(1:k), double precision)
!   T the same (the program reads these as table cells, which must be finite in single precision)
!   S <8 hex digits, or NAN>                 (read(u,*) one real(4))
!   I <decimal>                              (read(u,*) one integer)
!   C [name1][name2]...                      (read(u,*) c(1:k), character(len=20))
!   ERR / EOF                                (the reading failed; the rest of that case is skipped)
! Plan lines: file name, number of readings m, then m pairs (kind letter, item count).
program fortran_reader
  use, intrinsic :: ieee_arithmetic
  implicit none
  integer, parameter :: maxItems = 64
  double precision :: x(maxItems)
  real :: s
  integer :: whole
  character(len=20) :: c(maxItems)
  character(len=1) :: kinds(maxItems)
  integer :: counts(maxItems)
  character(len=256) :: planName, caseName
  integer :: plan, u, ios, m, j, i, k
  character(len=2000) :: line

  call get_command_argument(1, planName)
  open(newunit=plan, file=trim(planName), status='old', action='read')
  do
    read(plan, *, iostat=ios) caseName, m, (kinds(j), counts(j), j = 1, m)
    if (ios /= 0) exit
    open(newunit=u, file=trim(caseName), status='old', action='read')
    print '(A)', '# ' // trim(caseName)
    do j = 1, m
      k = counts(j)
      select case (kinds(j))
      case ('N', 'T')
        x(1:k) = -7.25d0
        read(u, *, iostat=ios) (x(i), i = 1, k)
        if (ios /= 0) exit
        line = kinds(j)
        do i = 1, k
          line = trim(line) // ' ' // hexDouble(x(i))
        end do
        print '(A)', trim(line)
      case ('S')
        s = -7.25
        read(u, *, iostat=ios) s
        if (ios /= 0) exit
        if (ieee_is_nan(s)) then
          print '(A)', 'S NAN'
        else
          write(line, '(Z8.8)') transfer(s, 0)
          print '(A)', 'S ' // trim(line)
        end if
      case ('I')
        whole = -7
        read(u, *, iostat=ios) whole
        if (ios /= 0) exit
        write(line, '(I0)') whole
        print '(A)', 'I ' // trim(line)
      case default
        c(1:k) = '@@@@@@@@@@@@@@@@@@@@'
        read(u, *, iostat=ios) (c(i), i = 1, k)
        if (ios /= 0) exit
        write(*, '(A)', advance='no') 'C '
        do i = 1, k
          write(*, '(3A)', advance='no') '[', c(i), ']'
        end do
        write(*, '(A)') ''
      end select
    end do
    if (ios > 0) print '(A)', 'ERR'
    if (ios < 0) print '(A)', 'EOF'
    close(u)
  end do

contains

  function hexDouble(v) result(text)
    double precision, intent(in) :: v
    character(len=16) :: text
    if (ieee_is_nan(v)) then
      text = 'NAN'
    else
      write(text, '(Z16.16)') transfer(v, 0_8)
    end if
  end function

end program
